// Events pushed into SDL's queue from C++, read back through the module's
// poll in a Lua state of our own (Debian's liblua5.3, the built orbix.so).
#include <SDL.h>
#include <gtest/gtest.h>
#include <lua.hpp>

#include <cstring>
#include <string>

namespace {

class Poll : public ::testing::Test {
 protected:
  void SetUp() override {
    L = luaL_newstate();
    luaL_openlibs(L);
    lua_getglobal(L, "package");
    lua_pushstring(L, ORBIX_CPATH);
    lua_setfield(L, -2, "cpath");
    lua_pop(L, 1);
    ASSERT_EQ(run("orbix = require 'orbix'; return orbix.Init(orbix.INIT_VIDEO | orbix.INIT_EVENTS)"), "0");
    // SDL ends each batch of polled events with one empty answer (its poll
    // sentinel); `next_event` skips that one so each check sees its event.
    run("function next_event() return orbix.poll() or orbix.poll() end");
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
  void TearDown() override {
    run("orbix.Quit()");
    lua_close(L);
  }

  // Runs a chunk and returns its first result as text ("" for none).
  std::string run(const char* code) {
    int top = lua_gettop(L);
    if (luaL_dostring(L, code) != LUA_OK) {
      std::string err = lua_tostring(L, -1);
      lua_settop(L, top);
      ADD_FAILURE() << err;
      return "error";
    }
    std::string r = lua_gettop(L) > top ? luaL_tolstring(L, top + 1, nullptr) : "";
    lua_settop(L, top);
    return r;
  }

  // Pushes `e`, polls it and returns "key=value" pairs of the wanted fields.
  std::string poll_fields(SDL_Event e, const char* fields) {
    EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    std::string code = "local e = next_event(); local out = {}; for k in ('" + std::string(fields) +
                       "'):gmatch('%S+') do out[#out+1] = k .. '=' .. tostring(e[k]) .. "
                       "(math.type(e[k]) == 'float' and 'F' or '') end; return table.concat(out, ' ')";
    return run(code.c_str());
  }

  lua_State* L = nullptr;
};

TEST_F(Poll, EmptyQueueReturnsNoValueAtAll) {
  run("while orbix.poll() do end");
  EXPECT_EQ(run("return select('#', orbix.poll())"), "0");
  EXPECT_EQ(run("return select('#', orbix.poll())"), "0");
}

TEST_F(Poll, KeyDownRepeatAndKeyUp) {
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.timestamp = 1234;
  e.key.windowID = 7;
  e.key.state = SDL_PRESSED;
  e.key.repeat = 0;
  e.key.keysym.sym = SDLK_F1;
  e.key.keysym.scancode = SDL_SCANCODE_F1;
  e.key.keysym.mod = KMOD_LSHIFT | KMOD_RESERVED;
  // SDL stamps pushed events with the current time; ask for the rest only.
  EXPECT_EQ(poll_fields(e, "type sym scancode mod windowID state repeat button which"),
            "type=768 sym=1073741882 scancode=58 mod=32769 windowID=7 state=1 repeat=0 button=1 which=7");
  e.key.repeat = 1;
  EXPECT_EQ(poll_fields(e, "state repeat"), "state=1 repeat=1");
  e.type = SDL_KEYUP;
  e.key.state = SDL_RELEASED;
  EXPECT_EQ(poll_fields(e, "type state"), "type=769 state=0");
}

TEST_F(Poll, TextInputOfATwoByteCharacter) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  e.text.windowID = 3;
  std::strcpy(e.text.text, "\xC3\xA9");
  EXPECT_EQ(poll_fields(e, "windowID"), "windowID=3");
  SDL_PushEvent(&e);
  EXPECT_EQ(run("local t = next_event().text; return #t .. ':' .. t:byte(1) .. ',' .. t:byte(2)"), "2:195,169");
  // A sender that fills the whole buffer gets 31 bytes, never a read past it.
  std::memset(e.text.text, 'a', sizeof e.text.text);
  SDL_PushEvent(&e);
  EXPECT_EQ(run("return #next_event().text"), "31");
}

TEST_F(Poll, MouseMotionWithLeftButtonAndSignedWhich) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.windowID = 2;
  e.motion.which = SDL_TOUCH_MOUSEID;  // 0xFFFFFFFF: pushed as -1
  e.motion.state = SDL_BUTTON_LMASK;
  e.motion.x = 10;
  e.motion.y = 20;
  e.motion.xrel = -3;
  e.motion.yrel = 4;
  EXPECT_EQ(poll_fields(e, "type x y xrel yrel which state windowID"),
            "type=1024 x=10 y=20 xrel=-3 yrel=4 which=-1 state=1 windowID=2");
}

TEST_F(Poll, DoubleClickAndWheel) {
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_RIGHT;
  e.button.state = SDL_PRESSED;
  e.button.clicks = 2;
  e.button.x = 5;
  e.button.y = 6;
  e.button.which = 0;
  e.button.windowID = 1;
  EXPECT_EQ(poll_fields(e, "type button state clicks x y which windowID"),
            "type=1025 button=3 state=1 clicks=2 x=5 y=6 which=0 windowID=1");
  SDL_Event w{};
  w.type = SDL_MOUSEWHEEL;
  w.wheel.x = -1;
  w.wheel.y = 3;
  w.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  w.wheel.windowID = 4;
  EXPECT_EQ(poll_fields(w, "type x y direction windowID which"), "type=1027 x=-1 y=3 direction=1 windowID=4 which=0");
}

TEST_F(Poll, ControllerButtonAxisAndDeviceAdded) {
  SDL_Event e{};
  e.type = SDL_CONTROLLERBUTTONDOWN;
  e.cbutton.which = 5;
  e.cbutton.button = SDL_CONTROLLER_BUTTON_START;
  e.cbutton.state = SDL_PRESSED;
  EXPECT_EQ(poll_fields(e, "type which button state axis"), "type=1617 which=5 button=6 state=1 axis=nil");
  SDL_Event a{};
  a.type = SDL_CONTROLLERAXISMOTION;
  a.caxis.which = 5;
  a.caxis.axis = SDL_CONTROLLER_AXIS_LEFTY;
  a.caxis.value = -32768;
  EXPECT_EQ(poll_fields(a, "type which axis value"), "type=1616 which=5 axis=1 value=-32768");
  SDL_Event d{};
  d.type = SDL_CONTROLLERDEVICEADDED;
  d.cdevice.which = 2;
  EXPECT_EQ(poll_fields(d, "type which"), "type=1619 which=2");
}

TEST_F(Poll, QuitHasOnlyTheCommonFields) {
  SDL_Event e{};
  e.type = SDL_QUIT;
  SDL_PushEvent(&e);
  EXPECT_EQ(run("local e, n = next_event(), 0; for k, v in pairs(e) do n = n + 1; "
                "assert(math.type(v) == 'integer', k) end; return e.type .. ':' .. n"),
            "256:5");
}

TEST_F(Poll, DroppedTextIsFreedAndNotDelivered) {
  // Under LeakSanitizer a leaked string fails this test.
  SDL_Event e{};
  e.type = SDL_DROPFILE;
  e.drop.file = SDL_strdup("/tmp/some file");
  e.drop.windowID = 1;
  SDL_PushEvent(&e);
  e.type = SDL_DROPTEXT;
  e.drop.file = SDL_strdup("text");
  SDL_PushEvent(&e);
  EXPECT_EQ(
      run("local a = next_event(); local b = next_event(); return a.type .. ',' .. b.type .. ',' .. tostring(a.file)"),
      "4096,4097,nil");
}

TEST_F(Poll, EachTypeHasExactlyItsKeysWithTheirOwnValues) {
  // Where a type's own field shares a name with a common one, the table
  // holds the type's value; no key is missing or extra.
  auto keys = [&](SDL_Event e) {
    EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    return run(
        "local e, ks = next_event(), {}; for k, v in pairs(e) do ks[#ks + 1] = k .. '=' .. tostring(v) end; "
        "table.sort(ks); return table.concat(ks, ' ')");
  };
  SDL_Event e{};
  e.type = SDL_KEYUP;
  e.key.timestamp = 7;
  e.key.windowID = 3;
  e.key.state = SDL_RELEASED;
  e.key.repeat = 1;
  e.key.keysym.sym = SDLK_a;
  e.key.keysym.scancode = SDL_SCANCODE_A;
  e.key.keysym.mod = KMOD_LSHIFT;
  std::string k = keys(e);
  EXPECT_EQ(k.substr(k.find("button")),
            "button=0 mod=1 repeat=1 scancode=4 state=0 sym=97 timestamp=" +
                k.substr(k.find("timestamp=") + 10, k.find(" type") - k.find("timestamp=") - 10) +
                " type=769 which=3 windowID=3");
  e = SDL_Event{};
  e.type = SDL_MOUSEBUTTONUP;
  e.button.windowID = 2;
  e.button.which = 5;
  e.button.button = SDL_BUTTON_RIGHT;
  e.button.state = SDL_RELEASED;
  e.button.clicks = 2;
  e.button.x = -4;
  e.button.y = 9;
  k = keys(e);
  EXPECT_EQ(k.substr(0, k.find(" timestamp")), "button=3 clicks=2 state=0");
  EXPECT_EQ(k.substr(k.find(" type")), " type=1026 which=5 windowID=2 x=-4 y=9");
  e = SDL_Event{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.windowID = 2;
  e.wheel.which = 6;
  e.wheel.x = 1;
  e.wheel.y = -1;
  e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  k = keys(e);
  EXPECT_EQ(k.substr(0, k.find(" timestamp")), "button=6 direction=1 state=0");
  EXPECT_EQ(k.substr(k.find(" type")), " type=1027 which=6 windowID=2 x=1 y=-1");
  e = SDL_Event{};
  e.type = SDL_CONTROLLERAXISMOTION;
  e.caxis.which = 4;
  e.caxis.axis = SDL_CONTROLLER_AXIS_RIGHTY;
  e.caxis.value = 1234;
  k = keys(e);
  EXPECT_EQ(k.substr(0, k.find(" timestamp")), "axis=3 button=3 state=0");
  EXPECT_EQ(k.substr(k.find(" type")), " type=1616 value=1234 which=4");
}

}  // namespace
