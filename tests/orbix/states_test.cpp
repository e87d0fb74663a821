// The module in several Lua states at once (more than the handle checks
// remember by address), states closing while others live, and states made
// afterwards: every state accepts its own handles and refuses the rest.
#include <SDL.h>
#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>
#include <vector>

namespace {

std::string run(lua_State* L, const std::string& code) {
  if (luaL_dostring(L, code.c_str()) != LUA_OK) {
    std::string err = lua_tostring(L, -1);
    lua_settop(L, 0);
    return "error: " + err;
  }
  std::string r = lua_gettop(L) > 0 ? luaL_tolstring(L, 1, nullptr) : "";
  lua_settop(L, 0);
  return r;
}

lua_State* open_state(int n) {
  lua_State* L = luaL_newstate();
  luaL_openlibs(L);
  lua_getglobal(L, "package");
  lua_pushstring(L, ORBIX_CPATH);
  lua_setfield(L, -2, "cpath");
  lua_pop(L, 1);
  std::string setup =
      "orbix = require 'orbix'\n"
      "surf = orbix.CreateRGBSurfaceWithFormat(0, 4, 4, 32, orbix.PIXELFORMAT_RGBA32)\n"
      "orbix.set_surface_rgba(surf, 1, 2, " +
      std::to_string(n) +
      ", 2, 3, 4)\n"
      "impostor = io.tmpfile()\n"
      "debug.setmetatable(impostor, {__name = 'orbix_surface'})";
  EXPECT_EQ(run(L, setup), "");
  return L;
}

// The state's own surface passes; a file, a look-alike and a handle of
// another type do not, with the standard texts.
void check_state(lua_State* L, int n) {
  EXPECT_EQ(run(L, "return table.concat({orbix.get_surface_rgba(surf, 1, 2)}, ',')"), std::to_string(n) + ",2,3,4");
  EXPECT_EQ(run(L, "return select(2, pcall(orbix.get_surface_rgba, io.stdout, 0, 0))"),
            "bad argument #1 to 'orbix.get_surface_rgba' (orbix_surface expected, got FILE*)");
  EXPECT_EQ(run(L, "return select(2, pcall(orbix.set_surface_rgba, impostor, 0, 0))"),
            "bad argument #1 to 'orbix.set_surface_rgba' (orbix_surface expected, got orbix_surface)");
  EXPECT_EQ(run(L, "return select(2, pcall(orbix.RenderCopy, surf, nil))"),
            "bad argument #2 to 'orbix.RenderCopy' (orbix_texture expected, got nil)");
}

TEST(States, EachStateAcceptsItsOwnHandlesOnly) {
  std::vector<lua_State*> states;
  for (int n = 0; n < 7; ++n) states.push_back(open_state(n));
  for (int round = 0; round < 2; ++round)
    for (int n = 0; n < 7; ++n) check_state(states[n], n);

  // Close some, open others: the new ones and the survivors still check
  // right (the closed states' metatables are forgotten, never matched).
  for (int n : {0, 2, 3, 5}) {
    lua_close(states[n]);
    states[n] = nullptr;
  }
  for (int n : {0, 2, 3, 5}) states[n] = open_state(n + 10);
  for (int n = 0; n < 7; ++n) check_state(states[n], (n == 0 || n == 2 || n == 3 || n == 5) ? n + 10 : n);
  for (lua_State* L : states) lua_close(L);
}

TEST(States, HandlesCollectedAtCloseAreReleased) {
  // Handles still live when their state closes are released by their
  // finalizers, which run the same checks while the state is torn down.
  for (int i = 0; i < 3; ++i) {
    lua_State* L = open_state(i);
    EXPECT_EQ(run(L, "for i = 1, 50 do orbix.CreateRGBSurfaceWithFormat(0, 8, 8, 32, orbix.PIXELFORMAT_RGBA32) end"),
              "");
    check_state(L, i);
    lua_close(L);
  }
}

}  // namespace
