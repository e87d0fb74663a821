// The glue library shared by the host and the modules, in a real Lua state:
// readers agree with the auxiliary library's checks they stand for, pushers
// stay inside their buffers, and errors leave bindings the way the rules in
// lua_glue.hpp say.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "lua_glue.hpp"

extern "C" {
#include <lualib.h>
}

namespace {

// A Lua state whose allocator can be told to fail every request.
struct State {
  bool failing = false;
  lua_State* L;
  State() : L(lua_newstate(alloc, this)) { luaL_openlibs(L); }
  ~State() {
    failing = false;
    lua_close(L);
  }
  static void* alloc(void* ud, void* p, size_t, size_t n) {
    if (n == 0) {
      std::free(p);
      return nullptr;
    }
    return static_cast<State*>(ud)->failing ? nullptr : std::realloc(p, n);
  }
  // Calls `f` with the Lua values of `args` (a Lua expression list); returns
  // the error text, or "" when it succeeded (results left on the stack).
  std::string call(lua_CFunction f, const char* args) {
    lua_settop(L, 0);
    std::string chunk = std::string("local f = ...; return f(") + args + ")";
    luaL_loadstring(L, chunk.c_str());
    lua_pushcfunction(L, f);
    if (lua_pcall(L, 1, LUA_MULTRET, 0) == LUA_OK) return "";
    const char* text = lua_tostring(L, -1);
    return text ? text : "(error value without text)";
  }
};

std::string text_at(lua_State* L, int index) {
  size_t n = 0;
  const char* p = lua_tolstring(L, index, &n);
  return std::string(p, n);
}

int read_int(lua_State* L) { return glue::push_int(L, glue::arg_int(L, 1)); }
int check_int(lua_State* L) { return glue::push_int(L, luaL_checkinteger(L, 1)); }
int read_opt_int(lua_State* L) { return glue::push_int(L, glue::arg_opt_int(L, 1)); }
int read_narrow(lua_State* L) {
  glue::push_i32(L, glue::arg_i32(L, 1));
  glue::push_u32(L, glue::arg_u32(L, 1));
  glue::push_int(L, glue::arg_i16(L, 1));
  glue::push_int(L, glue::arg_u8(L, 1));
  return 4;
}

}  // namespace

TEST(GlueNarrowing, LowBitsReadSignedOrUnsigned) {
  EXPECT_EQ(glue::low16_signed(0xFFFF), -1);
  EXPECT_EQ(glue::low16_unsigned(-1), 0xFFFF);
  EXPECT_EQ(glue::low16_signed(0x12345), 0x2345);
  EXPECT_EQ(glue::low16_signed(0x8000), -32768);
  EXPECT_EQ(glue::low32_signed(0x80000000LL), INT32_MIN);
  EXPECT_EQ(glue::low32_unsigned(-1), 0xFFFFFFFFu);
  EXPECT_EQ(glue::low32_signed((1LL << 40) + 5), 5);
  EXPECT_EQ(glue::low8_unsigned(256), 0);
  EXPECT_EQ(glue::low8_unsigned(-1), 255);
}

TEST(GlueReaders, RequiredIntegersFollowTheAuxiliaryLibraryToTheLetter) {
  State s;
  // Accepted values give the same integer, refused ones the same error text.
  for (const char* args :
       {"3", "3.0", "'3'", "' 0x10 '", "-0.0", "math.mininteger", "3.5", "'x'", "nil", "", "{}", "2^63", "'1e2'"}) {
    const std::string ours = s.call(read_int, args);
    const lua_Integer got = ours.empty() ? lua_tointeger(s.L, -1) : 0;
    const std::string theirs = s.call(check_int, args);
    const lua_Integer want = theirs.empty() ? lua_tointeger(s.L, -1) : 0;
    EXPECT_EQ(ours, theirs) << args;
    EXPECT_EQ(got, want) << args;
  }
  EXPECT_NE(s.call(read_int, "3.5").find("number has no integer representation"), std::string::npos);
}

TEST(GlueReaders, OptionalIntegersNeverRaise) {
  State s;
  const struct {
    const char* args;
    lua_Integer want;
  } cases[] = {{"7", 7}, {"'7'", 7}, {"7.0", 7}, {"7.5", 0}, {"nil", 0}, {"", 0}, {"{}", 0}, {"'x'", 0}};
  for (const auto& c : cases) {
    ASSERT_EQ(s.call(read_opt_int, c.args), "") << c.args;
    EXPECT_EQ(lua_tointeger(s.L, -1), c.want) << c.args;
  }
}

TEST(GlueReaders, NarrowingReadersKeepTheLowBits) {
  State s;
  ASSERT_EQ(s.call(read_narrow, "0x1FFFF80FF"), "");
  ASSERT_EQ(lua_gettop(s.L), 4);
  EXPECT_EQ(lua_tointeger(s.L, 1), -0x7F01);       // low 32 bits 0xFFFF80FF, signed
  EXPECT_EQ(lua_tointeger(s.L, 2), 0xFFFF80FFLL);  // the same bits, unsigned
  EXPECT_EQ(lua_tointeger(s.L, 3), -0x7F01);       // low 16 bits 0x80FF, signed
  EXPECT_EQ(lua_tointeger(s.L, 4), 0xFF);
}

TEST(GluePushers, BufferTextStopsAtTheZeroOrTheBufferEnd) {
  State s;
  const char terminated[8] = {'a', 'b', 0, 'c', 'd', 'e', 'f', 'g'};
  const char full[4] = {'w', 'x', 'y', 'z'};  // nothing terminates it
  EXPECT_EQ(glue::push_buffer_text(s.L, terminated, sizeof terminated), 1);
  EXPECT_EQ(glue::push_buffer_text(s.L, full, sizeof full), 1);
  EXPECT_EQ(text_at(s.L, -2), "ab");
  EXPECT_EQ(text_at(s.L, -1), "wxyz");
}

TEST(GluePushers, UnsignedResultsStayNonNegative) {
  State s;
  glue::push_u32(s.L, 0xFFFFFFFFu);
  glue::push_i32(s.L, -1);
  glue::push_address(s.L, nullptr);
  EXPECT_EQ(lua_tointeger(s.L, 1), 4294967295LL);
  EXPECT_EQ(lua_tointeger(s.L, 2), -1);
  EXPECT_EQ(lua_type(s.L, 3), LUA_TLIGHTUSERDATA);  // a null address, not nil
}

namespace {

int throws_bad_alloc(lua_State*) { throw std::bad_alloc(); }
int raises_lua_error(lua_State* L) { return luaL_error(L, "argument trouble"); }
int two_results(lua_State* L) {
  glue::push_int(L, 1);
  glue::push_int(L, 2);
  return 2;
}
int plain_error(lua_State* L) { return glue::raise_plain(L, "exact text."); }

}  // namespace

TEST(GlueErrors, BadAllocBecomesLuaMemoryErrorAtTheBoundary) {
  State s;
  EXPECT_EQ(s.call(glue::catch_bad_alloc<throws_bad_alloc>, ""), "not enough memory");
  // Lua's own errors pass through the guard unchanged, with their position.
  EXPECT_EQ(s.call(glue::catch_bad_alloc<raises_lua_error>, ""),
            "[string \"local f = ...; return f()\"]:1: argument trouble");
  ASSERT_EQ(s.call(glue::catch_bad_alloc<two_results>, ""), "");
  EXPECT_EQ(lua_gettop(s.L), 2);
  EXPECT_EQ(lua_tointeger(s.L, 2), 2);
}

TEST(GlueErrors, WithoutBadAllocReportsTheFailureInsteadOfThrowing) {
  int steps = 0;
  EXPECT_TRUE(glue::without_bad_alloc([&] { ++steps; }));
  EXPECT_FALSE(glue::without_bad_alloc([&] {
    ++steps;
    throw std::bad_alloc();
  }));
  EXPECT_EQ(steps, 2);
}

TEST(GlueErrors, PlainErrorsCarryNoPositionPrefix) {
  State s;
  EXPECT_EQ(s.call(plain_error, ""), "exact text.");
}

TEST(GlueErrors, ProtectedPushHandsTheFailureBackToTheCaller) {
  State s;
  const std::string text(100, 'q');  // longer than any string the state has
  ASSERT_EQ(glue::try_push_lstring(s.L, text.data(), text.size()), LUA_OK);
  EXPECT_EQ(text_at(s.L, -1), text);
  lua_settop(s.L, 0);
  s.failing = true;
  EXPECT_EQ(glue::try_push_lstring(s.L, text.data(), text.size()), LUA_ERRMEM);
  s.failing = false;
  EXPECT_EQ(lua_gettop(s.L), 1);  // just the error value
  EXPECT_STREQ(lua_tostring(s.L, -1), "not enough memory");
}
