// Window, renderer and core functions. Arguments are checked from the last to
// the first, so the error names the highest bad position.
#include "args.hpp"
#include "bindings.hpp"
#include "handles.hpp"
#include "core/guards.hpp"
#include "values.hpp"

using namespace orbix;

// --- core -------------------------------------------------------------------

int l_Init(lua_State* L) { return push_i32(L, SDL_Init(arg_u32(L, 1))); }

int l_Quit(lua_State*) {
  before_sdl_quit();
  SDL_Quit();
  return 0;
}

int l_GetError(lua_State* L) {
  lua_pushstring(L, SDL_GetError());
  return 1;
}

extern "C" int lua_SDL_Delay(lua_State* L) {
  SDL_Delay(arg_u32(L, 1));
  return 0;
}

int l_GetTicks(lua_State* L) { return push_u32(L, SDL_GetTicks()); }

int l_ShowSimpleMessageBox(lua_State* L) {
  SDL_Window* parent = lua_towindow(L, 4);
  const char* message = arg_str(L, 3);
  const char* title = arg_str(L, 2);
  Uint32 flags = arg_u32(L, 1);
  return push_i32(L, SDL_ShowSimpleMessageBox(flags, title, message, parent));
}

// --- window -----------------------------------------------------------------

int l_CreateWindowAndRenderer(lua_State* L) {
  Uint32 flags = arg_u32(L, 3);
  int h = arg_i32(L, 2);
  int w = arg_i32(L, 1);
  new_handle(L);
  new_handle(L);
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  int status = SDL_CreateWindowAndRenderer(w, h, flags, &window, &renderer);
  fill_window_and_renderer(L, -2, window, -1, renderer);
  push_i32(L, status);
  return 3;
}

int l_SetWindowTitle(lua_State* L) {
  const char* title = arg_str(L, 2);
  SDL_SetWindowTitle(lua_towindow(L, 1), title);
  return 0;
}

int l_SetWindowIcon(lua_State* L) {
  SDL_Surface* icon = lua_tosurface(L, 2);
  SDL_SetWindowIcon(lua_towindow(L, 1), icon);
  return 0;
}

int l_SetWindowFullscreen(lua_State* L) {
  Uint32 flags = arg_u32(L, 2);
  return push_i32(L, SDL_SetWindowFullscreen(lua_towindow(L, 1), flags));
}

int l_SetWindowSize(lua_State* L) {
  int h = arg_i32(L, 3);
  int w = arg_i32(L, 2);
  SDL_SetWindowSize(lua_towindow(L, 1), w, h);
  return 0;
}

int l_GetWindowSize(lua_State* L) {
  // SDL writes nothing for a null window: report 0 x 0 then.
  int w = 0, h = 0;
  SDL_GetWindowSize(lua_towindow(L, 1), &w, &h);
  push_i32(L, w);
  push_i32(L, h);
  return 2;
}

// --- renderer ---------------------------------------------------------------

extern "C" int lua_SDL_CreateSoftwareRenderer(lua_State* L) {
  SDL_Surface* target = lua_tosurface(L, 1);
  new_handle(L);
  if (emptied_meanwhile(L, 1, target)) return empty_handle(L, Kind::Renderer);
  SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(target);
  if (!renderer) return 0;
  fill_software_renderer(L, -1, renderer, target);
  return 1;
}

int l_SetRenderDrawColor(lua_State* L) {
  Uint8 a = arg_u8(L, 5);
  Uint8 b = arg_u8(L, 4);
  Uint8 g = arg_u8(L, 3);
  Uint8 r = arg_u8(L, 2);
  return push_i32(L, SDL_SetRenderDrawColor(lua_torenderer(L, 1), r, g, b, a));
}

int l_GetRenderDrawColor(lua_State* L) {
  Uint8 r = 0, g = 0, b = 0, a = 0;  // what is reported when SDL fails
  int status = SDL_GetRenderDrawColor(lua_torenderer(L, 1), &r, &g, &b, &a);
  push_i32(L, r);
  push_i32(L, g);
  push_i32(L, b);
  push_i32(L, a);
  push_i32(L, status);
  return 5;
}

int l_RenderClear(lua_State* L) { return push_i32(L, SDL_RenderClear(lua_torenderer(L, 1))); }

int l_RenderPresent(lua_State* L) {
  SDL_RenderPresent(lua_torenderer(L, 1));
  return 0;
}

int l_RenderFillRect(lua_State* L) {
  SDL_Rect rect;
  const SDL_Rect* r = lua_torect(L, 2, &rect);
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  if (!renderer || !r) {
    return push_i32(L, SDL_RenderFillRect(renderer, r));
  }
  float sx = 1, sy = 1;
  int w = 0, h = 0;
  SDL_RenderGetScale(renderer, &sx, &sy);
  SDL_GetRendererOutputSize(renderer, &w, &h);
  // SDL itself passes the rectangle on as floats.
  SDL_FRect f;
  // The software renderer turns rectangles into device pixels in int and
  // clips them with int sums that wrap near the ends of the range.
  if (!guards::cut_far_span(r->x, r->w, sx, w, f.x, f.w) || !guards::cut_far_span(r->y, r->h, sy, h, f.y, f.h)) {
    push_i32(L, 0);  // nothing of it can show
    return 1;
  }
  return push_i32(L, SDL_RenderFillRectF(renderer, &f));
}

int l_RenderDrawPoint(lua_State* L) {
  int y = arg_i32(L, 3);
  int x = arg_i32(L, 2);
  return push_i32(L, SDL_RenderDrawPoint(lua_torenderer(L, 1), x, y));
}

int l_RenderDrawLine(lua_State* L) {
  int y2 = arg_i32(L, 5);
  int x2 = arg_i32(L, 4);
  int y1 = arg_i32(L, 3);
  int x1 = arg_i32(L, 2);
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  if (renderer && guards::is_long_line(x1, y1, x2, y2)) {
    // SDL 2.26 allocates one point for every pixel of the whole line.
    int w = 0, h = 0;
    float sx = 1, sy = 1;
    SDL_GetRendererOutputSize(renderer, &w, &h);
    SDL_RenderGetScale(renderer, &sx, &sy);
    if (!guards::clip_long_line(x1, y1, x2, y2, w, h, sx, sy)) {
      push_i32(L, 0);  // entirely outside what the target can show: nothing to draw
      return 1;
    }
  }
  return push_i32(L, SDL_RenderDrawLine(renderer, x1, y1, x2, y2));
}

int l_RenderIsClipEnabled(lua_State* L) { return push_bool(L, SDL_RenderIsClipEnabled(lua_torenderer(L, 1))); }

int l_RenderSetClipRect(lua_State* L) {
  SDL_Rect rect;
  SDL_Rect* r = lua_torect(L, 2, &rect);
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  if (renderer && r) {
    // The software renderer clips every later drawing against this rectangle
    // with the same wrapping int sums as a fill.
    float sx = 1, sy = 1;
    SDL_RenderGetScale(renderer, &sx, &sy);
    guards::clamp_span(r->x, r->w, -guards::clip_reach(sx), guards::clip_reach(sx));
    guards::clamp_span(r->y, r->h, -guards::clip_reach(sy), guards::clip_reach(sy));
  }
  return push_i32(L, SDL_RenderSetClipRect(renderer, r));
}

int l_RenderGetClipRect(lua_State* L) {
  SDL_Rect rect = {0, 0, 0, 0};
  SDL_RenderGetClipRect(lua_torenderer(L, 1), &rect);
  lua_createtable(L, 4, 0);
  const int v[4] = {rect.x, rect.y, rect.w, rect.h};
  for (int i = 0; i < 4; ++i) {
    lua_pushinteger(L, v[i]);
    lua_rawseti(L, -2, i + 1);
  }
  return 1;
}

int l_RenderSetScale(lua_State* L) {
  // Unchecked on purpose: anything that is not a number counts as 0.
  double sy = lua_tonumberx(L, 3, nullptr);
  double sx = lua_tonumberx(L, 2, nullptr);
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  if (renderer && !guards::render_scale_in_range(sx, sy)) {
    return push_i32(L, SDL_SetError("Scale out of range"));
  }
  return push_i32(L, SDL_RenderSetScale(renderer, static_cast<float>(sx), static_cast<float>(sy)));
}

int l_GetRenderTarget(lua_State* L) {
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  if (!SDL_GetRenderTarget(renderer)) return 0;
  new_handle(L);
  if (emptied_meanwhile(L, 1, renderer)) return empty_handle(L, Kind::Texture);
  // Asked again: a finalizer may have destroyed the target meanwhile (the
  // renderer then draws to its window again), and the handle stays empty.
  // The texture already has its owner; this handle only refers to it.
  fill_texture_alias(L, -1, SDL_GetRenderTarget(renderer), renderer);
  return 1;
}

int l_SetRenderTarget(lua_State* L) {
  int t = lua_type(L, 2);
  SDL_Texture* texture = (t == LUA_TUSERDATA || t == LUA_TLIGHTUSERDATA) ? lua_totexture(L, 2) : nullptr;
  return push_i32(L, SDL_SetRenderTarget(lua_torenderer(L, 1), texture));
}

extern "C" int lua_SDL_SetRenderDrawBlendMode(lua_State* L) {
  SDL_BlendMode mode = static_cast<SDL_BlendMode>(arg_i32(L, 2));
  return push_i32(L, SDL_SetRenderDrawBlendMode(lua_torenderer(L, 1), mode));
}

extern "C" int lua_SDL_GetRenderDrawBlendMode(lua_State* L) {
  SDL_BlendMode mode = SDL_BLENDMODE_INVALID;  // reported when SDL fails
  int status = SDL_GetRenderDrawBlendMode(lua_torenderer(L, 1), &mode);
  push_u32(L, static_cast<Uint32>(mode));
  push_i32(L, status);
  return 2;
}

// --- mouse and cursor -------------------------------------------------------

extern "C" int lua_SDL_ShowCursor(lua_State* L) { return push_i32(L, SDL_ShowCursor(arg_i32(L, 1))); }

extern "C" int lua_SDL_GetRelativeMouseMode(lua_State* L) { return push_bool(L, SDL_GetRelativeMouseMode()); }

extern "C" int lua_SDL_SetRelativeMouseMode(lua_State* L) {
  return push_i32(L, SDL_SetRelativeMouseMode(arg_flag(L, 1) ? SDL_TRUE : SDL_FALSE));
}

// --- clipboard --------------------------------------------------------------

int l_HasClipboardText(lua_State* L) { return push_bool(L, SDL_HasClipboardText()); }

int l_GetClipboardText(lua_State* L) {
  char* text = SDL_GetClipboardText();  // SDL gives "" rather than null on failure
  // The text is ours to free: pushed under protection, freed, and only then
  // is a memory error raised again.
  const int status = glue::try_push_lstring(L, text ? text : "", text ? SDL_strlen(text) : 0);
  SDL_free(text);
  return status == LUA_OK ? 1 : lua_error(L);
}

int l_SetClipboardText(lua_State* L) { return push_i32(L, SDL_SetClipboardText(arg_str(L, 1))); }
