// Runs orbix_stress.lua in a Lua state of our own, so the script can attach
// and detach SDL virtual game controllers (there is no device on test
// machines) while it creates and releases orbix objects at random.
//   orbix_stress <script.lua>      env ORBIX_STRESS_SEED, ORBIX_STRESS_SEQUENCES
#include <SDL.h>
#include <lua.hpp>

#include <cstdio>
#include <vector>

#include "virtual_pad.hpp"

namespace {

std::vector<int> g_pads;  // device indices of attached virtual controllers

// attach_pad() -> device index or nil. Needs the joystick subsystem, which
// the script's Init brings up (and Quit takes down with every pad).
int l_attach_pad(lua_State* L) {
  SDL_VirtualJoystickDesc desc = controller_pad("stress pad");
  int device = SDL_JoystickAttachVirtualEx(&desc);
  if (device < 0) return 0;
  lua_pushinteger(L, device);
  return 1;
}

// detach_pad(index): removes a virtual device while handles may still hold it.
int l_detach_pad(lua_State* L) {
  lua_pushboolean(L, SDL_JoystickDetachVirtual(static_cast<int>(luaL_checkinteger(L, 1))) == 0);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orbix_stress script.lua\n");
    return 2;
  }
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_getglobal(L, "package");
  lua_pushstring(L, ORBIX_CPATH);
  lua_setfield(L, -2, "cpath");
  lua_pop(L, 1);
  lua_register(L, "attach_pad", l_attach_pad);
  lua_register(L, "detach_pad", l_detach_pad);
  int rc = 0;
  if (luaL_dofile(L, argv[1]) != LUA_OK) {
    std::fprintf(stderr, "%s\n", lua_tostring(L, -1));
    rc = 1;
  }
  lua_close(L);  // collects every handle still alive: the last release pass
  SDL_Quit();
  return rc;
}
