// The shared value readers, on a bare Lua state.
#include <gtest/gtest.h>

#include <climits>

#include "orbix.hpp"
#include "values.hpp"

namespace {

struct State {
  lua_State* L = luaL_newstate();
  ~State() { lua_close(L); }
  // Evaluates `expr` and leaves its value on the stack.
  void push(const char* expr) {
    std::string code = std::string("return ") + expr;
    ASSERT_EQ(luaL_dostring(L, code.c_str()), LUA_OK);
  }
};

TEST(Values, RectEntriesAreTruncatedNumbers) {
  State s;
  s.push("{10.9, -3.7, '20', nil, 99}");
  SDL_Rect r{7, 7, 7, 7};
  EXPECT_EQ(get_rect(s.L, -1, &r), 0);
  EXPECT_EQ(r.x, 10);
  EXPECT_EQ(r.y, -3);
  EXPECT_EQ(r.w, 20);
  EXPECT_EQ(r.h, 0);
  EXPECT_EQ(lua_gettop(s.L), 1);
}

TEST(Values, NonTablesMeanNoRectangle) {
  State s;
  SDL_Rect r{1, 2, 3, 4};
  lua_pushinteger(s.L, 5);
  EXPECT_EQ(get_rect(s.L, -1, &r), 1);
  EXPECT_EQ(lua_torect(s.L, -1, &r), nullptr);
  EXPECT_EQ(r.x, 1);
  lua_pushnil(s.L);
  EXPECT_EQ(lua_torect(s.L, -1, &r), nullptr);
  s.push("{1, 2, 3, 4}");
  EXPECT_EQ(lua_torect(s.L, -1, &r), &r);
}

TEST(Values, OutOfRangeAndNaNBecomeIntMin) {
  State s;
  s.push("{0/0, 2^31, -2^31, 'x'}");
  SDL_Rect r;
  get_rect(s.L, -1, &r);
  EXPECT_EQ(r.x, INT_MIN);
  EXPECT_EQ(r.y, INT_MIN);
  EXPECT_EQ(r.w, INT_MIN);
  EXPECT_EQ(r.h, 0);
  SDL_Point p{9, 9};
  s.push("{-1.5, 2147483647}");
  EXPECT_EQ(get_point(s.L, -1, &p), 0);
  EXPECT_EQ(p.x, -1);
  EXPECT_EQ(p.y, INT_MAX);
}

TEST(Values, ColorEntriesKeepTheirLowEightBits) {
  State s;
  s.push("{256, -1, 255.0, 254.5}");
  SDL_Color c = orbix::get_color(s.L, -1);
  EXPECT_EQ(c.r, 0);
  EXPECT_EQ(c.g, 255);
  EXPECT_EQ(c.b, 255);
  EXPECT_EQ(c.a, 0);
  s.push("{255, '128', 0}");
  c = orbix::get_color(s.L, -1);
  EXPECT_EQ(c.g, 128);
  EXPECT_EQ(c.a, 0);
}

TEST(Values, PopNumberPops) {
  State s;
  lua_pushstring(s.L, " 12.9 ");
  EXPECT_EQ(lua_popNumber(s.L), 12);
  EXPECT_EQ(lua_gettop(s.L), 0);
}

TEST(Values, TableBuilders) {
  State s;
  lua_newtable(s.L);
  push_integer_to_table(s.L, "n", -1);
  push_function_to_table(s.L, "f", [](lua_State*) { return 0; });
  EXPECT_EQ(lua_gettop(s.L), 1);
  lua_getfield(s.L, 1, "n");
  EXPECT_EQ(lua_tointeger(s.L, -1), -1);
  new_metatable_with_gc(s.L, "orbix_test", [](lua_State*) { return 0; });
  luaL_getmetatable(s.L, "orbix_test");
  lua_pushvalue(s.L, -1);
  new_metatable_with_gc(s.L, "orbix_test", [](lua_State*) { return 0; });
  luaL_getmetatable(s.L, "orbix_test");
  EXPECT_TRUE(lua_rawequal(s.L, -1, -2)) << "an existing metatable is reused";
}

TEST(Values, IntegerEntriesConvertAsTheirFloatValuesWould) {
  State s;
  s.push("{0x7fffffffffffffff, 0x8000000000000000, 2147483647, -2147483647}");
  SDL_Rect r;
  get_rect(s.L, -1, &r);
  EXPECT_EQ(r.x, INT_MIN);
  EXPECT_EQ(r.y, INT_MIN);
  EXPECT_EQ(r.w, INT_MAX);
  EXPECT_EQ(r.h, -INT_MAX);
  s.push("{'0x10', '1e3', 2^53, ' -7 '}");
  get_rect(s.L, -1, &r);
  EXPECT_EQ(r.x, 16);
  EXPECT_EQ(r.y, 1000);
  EXPECT_EQ(r.w, INT_MIN);
  EXPECT_EQ(r.h, -7);
  s.push("{2147483647.9, -2147483648.9, '2147483648', 1/0}");
  get_rect(s.L, -1, &r);
  EXPECT_EQ(r.x, INT_MAX);
  EXPECT_EQ(r.y, INT_MIN);
  EXPECT_EQ(r.w, INT_MIN);
  EXPECT_EQ(r.h, INT_MIN);
}

TEST(Values, RectEntriesAreFetchedInOrderThroughMetamethods) {
  State s;
  luaL_openlibs(s.L);
  s.push("setmetatable({}, {__index = function(_, k) order = (order or '') .. k; return k * 10 end})");
  SDL_Rect r;
  EXPECT_EQ(get_rect(s.L, -1, &r), 0);
  EXPECT_EQ(r.x * 1000 + r.y * 100 + r.w * 10 + r.h, 10 * 1000 + 20 * 100 + 30 * 10 + 40);
  lua_getglobal(s.L, "order");
  EXPECT_STREQ(lua_tostring(s.L, -1), "1234");
  EXPECT_EQ(lua_gettop(s.L), 2);
}

}  // namespace
