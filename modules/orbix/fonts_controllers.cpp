// TrueType text (SDL_ttf, Latin-1 variants), game controllers and the frame
// rate manager (SDL2_gfx). Arguments are checked from the last to the first
// unless a binding says otherwise.
#include <SDL2_framerate.h>
#include <SDL_ttf.h>

#include "args.hpp"
#include "bindings.hpp"
#include "handles.hpp"
#include "values.hpp"

using namespace orbix;

namespace {

// The renderers check their colour before anything else and raise a plain
// string, without the position prefix luaL_error would add: scripts match
// the exact text.
SDL_Color check_text_color(lua_State* L, const char* message) {
  if (!lua_istable(L, 3)) glue::raise_plain(L, message);
  return get_color(L, 3);
}

// The joystick of an open controller handle, or null. A light userdata is
// only an address: one that no open controller answers for (a stale value
// from a collected controller, or anything else) must not reach SDL, which
// would read its magic field through it.
SDL_Joystick* known_joystick(void* address) {
  if (!address) return nullptr;
  auto controls = [](void* controller, const void* joystick) {
    return SDL_GameControllerGetJoystick(static_cast<SDL_GameController*>(controller)) == joystick;
  };
  return find_live(Kind::GameController, controls, address) ? static_cast<SDL_Joystick*>(address) : nullptr;
}

}  // namespace

// --- fonts -----------------------------------------------------------------

int l_TTF_Init(lua_State* L) { return push_i32(L, TTF_Init()); }

int l_TTF_OpenFont(lua_State* L) {
  int size = arg_i32(L, 2);
  const char* file = arg_str(L, 1);
  new_handle(L);
  TTF_Font* font = TTF_OpenFont(file, size);
  if (!font) return 0;
  fill_owned(L, -1, Kind::Font, font);
  return 1;
}

int l_TTF_SizeText(lua_State* L) {
  const char* text = arg_str(L, 2);
  auto* font = static_cast<TTF_Font*>(lua_tofont(L, 1));
  // SDL_ttf leaves the sizes alone when it fails: report 0 x 0 then.
  int w = 0, h = 0;
  int status = TTF_SizeText(font, text, &w, &h);
  push_i32(L, w);
  push_i32(L, h);
  push_i32(L, status);
  return 3;
}

int l_TTF_RenderText_Solid(lua_State* L) {
  SDL_Color color = check_text_color(L, "TTF_RenderText_Solid:Argument 3 must be color table.");
  const char* text = arg_str(L, 2);
  auto* font = static_cast<TTF_Font*>(lua_tofont(L, 1));
  new_handle(L);
  SDL_Surface* surface = TTF_RenderText_Solid(font, text, color);
  if (!surface) return 0;
  fill_owned(L, -1, Kind::Surface, surface);
  return 1;
}

int l_TTF_RenderText_Blended_Wrapped(lua_State* L) {
  SDL_Color color = check_text_color(L, "TTF_RenderText_Blended_Wrapped:Argument 3 must be color table.");
  Uint32 wrap = arg_u32(L, 4);
  const char* text = arg_str(L, 2);
  auto* font = static_cast<TTF_Font*>(lua_tofont(L, 1));
  new_handle(L);
  SDL_Surface* surface = TTF_RenderText_Blended_Wrapped(font, text, color, wrap);
  if (!surface) return 0;
  fill_owned(L, -1, Kind::Surface, surface);
  return 1;
}

// --- game controllers ------------------------------------------------------

int l_NumJoysticks(lua_State* L) { return push_i32(L, SDL_NumJoysticks()); }

int l_GameControllerOpen(lua_State* L) {
  // Always a handle: an empty one when SDL has no controller at the index.
  int device = arg_i32(L, 1);
  new_handle(L);
  fill_owned(L, -1, Kind::GameController, SDL_GameControllerOpen(device));
  return 1;
}

int l_GameControllerGetJoystick(lua_State* L) {
  SDL_GameController* controller = lua_togamecontroller(L, 1);
  // The joystick belongs to the controller: a bare address, no handle. SDL
  // answers null (and sets its error text) for an empty handle.
  lua_pushlightuserdata(L, SDL_GameControllerGetJoystick(controller));
  return 1;
}

int l_JoystickRumble(lua_State* L) {
  Uint32 duration = arg_u32(L, 4);
  Uint16 high = low16_unsigned(arg_int(L, 3));
  Uint16 low = low16_unsigned(arg_int(L, 2));
  void* address = lua_touserdata(L, 1);  // null for anything but a userdata
  if (lua_type(L, 1) == LUA_TUSERDATA) {
    // A full userdata is one of our handles (or another module's object):
    // its block holds no joystick.
    SDL_SetError("JoystickRumble: argument 1 is not a joystick");
    return push_i32(L, -1);
  }
  SDL_Joystick* joystick = known_joystick(address);
  if (address && !joystick) {
    SDL_SetError("JoystickRumble: joystick is not open");
    return push_i32(L, -1);
  }
  return push_i32(L, SDL_JoystickRumble(joystick, low, high, duration));
}

// --- frame-rate manager ----------------------------------------------------

int l_initFramerate(lua_State* L) {
  new_handle(L);
  auto* manager = static_cast<FPSmanager*>(xmalloc(sizeof(FPSmanager)));
  SDL_initFramerate(manager);
  fill_owned(L, -1, Kind::FrameRateManager, manager);
  return 1;
}

int l_setFramerate(lua_State* L) {
  Uint32 rate = arg_u32(L, 2);
  auto* manager = static_cast<FPSmanager*>(lua_toframeratemanager(L, 1));
  // SDL2_gfx writes into the manager without a null check; a handle is empty
  // once its finaliser ran (a script can still reach it from another
  // finalised object).
  if (!manager) {
    return push_i32(L, SDL_InvalidParamError("manager"));
  }
  return push_i32(L, SDL_setFramerate(manager, rate));
}

int l_framerateDelay(lua_State* L) {
  auto* manager = static_cast<FPSmanager*>(lua_toframeratemanager(L, 1));
  // SDL's clock starts again from 0 when SDL is initialised after a Quit. A
  // manager made before then would wait until the old clock's time came
  // round again (as long as SDL had run before); it starts counting frames
  // afresh instead.
  // The last tick seen lies at most a moment before the start of the count,
  // so it alone tells that the clock went back.
  const Uint32 now = SDL_GetTicks();
  if (manager && manager->lastticks > now) {
    manager->framecount = 0;
    manager->baseticks = manager->lastticks = now ? now : 1;
  }
  return push_u32(L, SDL_framerateDelay(manager));
}
