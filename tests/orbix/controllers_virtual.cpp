// Game controllers with a device: SDL's virtual joystick, attached from C++,
// driven through the built module in a Lua state of our own. Button and axis
// changes come back through poll; rumble goes to the device's callback.
#include <SDL.h>
#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

#include "virtual_pad.hpp"

namespace {

struct RumbleLog {
  int calls = 0;
  Uint16 low = 0, high = 0;
  int answer = 0;  // what the device tells SDL
};

int SDLCALL on_rumble(void* userdata, Uint16 low, Uint16 high) {
  auto* log = static_cast<RumbleLog*>(userdata);
  ++log->calls;
  log->low = low;
  log->high = high;
  return log->answer;
}

class VirtualController : public ::testing::Test {
 protected:
  void SetUp() override {
    L = luaL_newstate();
    luaL_openlibs(L);
    lua_getglobal(L, "package");
    lua_pushstring(L, ORBIX_CPATH);
    lua_setfield(L, -2, "cpath");
    lua_pop(L, 1);
    ASSERT_EQ(run("orbix = require 'orbix'; "
                  "return orbix.Init(orbix.INIT_GAMECONTROLLER | orbix.INIT_JOYSTICK | orbix.INIT_EVENTS)"),
              "0");
    // Every event poll returns until the queue is empty, as a list.
    run("function drain() local out = {} "
        "for _ = 1, 200 do local e = orbix.poll() if e then out[#out + 1] = e "
        "elseif #out > 0 or _ > 3 then break end end return out end");
    base_count = SDL_NumJoysticks();
  }
  void TearDown() override {
    if (device >= 0) SDL_JoystickDetachVirtual(device);
    run("orbix.Quit()");
    lua_close(L);
  }

  // Attaches a controller-type virtual joystick; `rumble` false leaves out
  // the rumble callback (a device without motors).
  void attach(bool rumble = true) {
    SDL_VirtualJoystickDesc desc = controller_pad("orbix test pad");
    desc.userdata = &log;
    if (rumble) desc.Rumble = on_rumble;
    device = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(device, 0) << SDL_GetError();
    // Our own reference, to set the device's buttons and axes.
    joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
    lua_pushinteger(L, device);
    lua_setglobal(L, "device");
    run("drain()");
  }

  // Runs a chunk and returns its first result as text ("" for none).
  std::string run(const std::string& code) {
    int top = lua_gettop(L);
    if (luaL_dostring(L, code.c_str()) != LUA_OK) {
      std::string err = lua_tostring(L, -1);
      lua_settop(L, top);
      ADD_FAILURE() << err;
      return "error";
    }
    std::string r = lua_gettop(L) > top ? luaL_tolstring(L, top + 1, nullptr) : "";
    lua_settop(L, top);
    return r;
  }

  lua_State* L = nullptr;
  RumbleLog log;
  int device = -1;
  int base_count = 0;
  SDL_Joystick* joystick = nullptr;
};

TEST_F(VirtualController, OpensAndHandsOutItsJoystick) {
  attach();
  EXPECT_EQ(run("return orbix.NumJoysticks()"), std::to_string(base_count + 1));
  run("gc = orbix.GameControllerOpen(device); joy = orbix.GameControllerGetJoystick(gc)");
  EXPECT_EQ(run("return getmetatable(gc).__name"), "orbix_gamecontroller");
  EXPECT_EQ(run("return type(joy) .. tostring(getmetatable(joy))"), "userdatanil");
  lua_getglobal(L, "joy");
  EXPECT_EQ(lua_touserdata(L, -1), joystick) << "the device's own joystick";
  lua_pop(L, 1);
  lua_getglobal(L, "gc");
  auto* controller = *static_cast<SDL_GameController**>(lua_touserdata(L, -1));
  lua_pop(L, 1);
  ASSERT_NE(controller, nullptr);
  EXPECT_STREQ(SDL_GameControllerName(controller), "orbix test pad");
}

TEST_F(VirtualController, ButtonAndAxisEventsArriveThroughPoll) {
  attach();
  run("gc = orbix.GameControllerOpen(device); drain()");
  std::string which = std::to_string(SDL_JoystickInstanceID(joystick));

  ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED), 0);
  EXPECT_EQ(run("for _, e in ipairs(drain()) do if e.type == orbix.CONTROLLERBUTTONDOWN then "
                "return e.button .. ' ' .. e.state .. ' ' .. e.which end end"),
            "0 1 " + which);
  ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, SDL_RELEASED), 0);
  EXPECT_EQ(run("for _, e in ipairs(drain()) do if e.type == orbix.CONTROLLERBUTTONUP then "
                "return e.button .. ' ' .. e.state end end"),
            "0 0");

  ASSERT_EQ(SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTY, -20000), 0);
  EXPECT_EQ(run("for _, e in ipairs(drain()) do if e.type == orbix.CONTROLLERAXISMOTION then "
                "return e.axis .. ' ' .. e.value .. ' ' .. e.which end end"),
            "1 -20000 " + which);
}

TEST_F(VirtualController, RumbleReturnsTheDevicesAnswer) {
  attach();
  run("gc = orbix.GameControllerOpen(device); joy = orbix.GameControllerGetJoystick(gc)");
  EXPECT_EQ(run("return orbix.JoystickRumble(joy, 0x1234, 0xABCD, 100)"), "0");
  EXPECT_EQ(log.calls, 1);
  EXPECT_EQ(log.low, 0x1234);
  EXPECT_EQ(log.high, 0xABCD);
  log.answer = -1;
  EXPECT_EQ(run("return orbix.JoystickRumble(joy, 0x10000 + 7, 5, 100)"), "-1");
  EXPECT_EQ(log.low, 7) << "intensities keep their low 16 bits";
}

TEST_F(VirtualController, RumbleWithoutMotorsIsRefusedBySdl) {
  attach(false);
  run("gc = orbix.GameControllerOpen(device); joy = orbix.GameControllerGetJoystick(gc)");
  EXPECT_EQ(run("return orbix.JoystickRumble(joy, 1, 1, 100) < 0"), "true");
}

TEST_F(VirtualController, RumbleNeverPassesAForeignOrStaleValue) {
  attach();
  run("gc = orbix.GameControllerOpen(device); joy = orbix.GameControllerGetJoystick(gc)");
  // The controller handle itself: a full userdata holding a controller.
  EXPECT_EQ(run("return orbix.JoystickRumble(gc, 1, 1, 100)"), "-1");
  // A second handle of the same device keeps the joystick valid...
  run("second = orbix.GameControllerOpen(device)");
  run("gc = nil; collectgarbage(); collectgarbage()");
  EXPECT_EQ(run("return orbix.JoystickRumble(joy, 2, 2, 100)"), "0");
  EXPECT_EQ(log.calls, 1);
  // ...and once every controller handle is gone the address is stale.
  run("second = nil; collectgarbage(); collectgarbage()");
  EXPECT_EQ(run("return orbix.JoystickRumble(joy, 3, 3, 100)"), "-1");
  EXPECT_EQ(log.calls, 1) << "the stale address never reached SDL";
}

TEST_F(VirtualController, RemovalIsReportedAndTheHandleStaysSafe) {
  attach();
  run("gc = orbix.GameControllerOpen(device); joy = orbix.GameControllerGetJoystick(gc); drain()");
  SDL_JoystickClose(joystick);
  joystick = nullptr;
  ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
  device = -1;
  EXPECT_EQ(run("for _, e in ipairs(drain()) do if e.type == orbix.CONTROLLERDEVICEREMOVED then "
                "return 'removed' end end"),
            "removed");
  // The controller is still open (detached): SDL answers for it.
  EXPECT_EQ(run("return orbix.JoystickRumble(joy, 1, 1, 100) < 0"), "true");
  EXPECT_EQ(log.calls, 0);
  run("gc = nil; collectgarbage(); collectgarbage()");
}

TEST_F(VirtualController, QuitEmptiesControllerHandles) {
  attach();
  run("gc = orbix.GameControllerOpen(device); joy = orbix.GameControllerGetJoystick(gc)");
  SDL_JoystickClose(joystick);
  joystick = nullptr;
  SDL_JoystickDetachVirtual(device);
  device = -1;
  run("orbix.Quit()");
  EXPECT_EQ(run("return orbix.JoystickRumble(joy, 1, 1, 100)"), "-1");
  EXPECT_EQ(run("return tostring(orbix.GameControllerGetJoystick(gc) == "
                "orbix.GameControllerGetJoystick(orbix.GameControllerOpen(-1)))"),
            "true");
  run("gc = nil; collectgarbage(); collectgarbage()");
  EXPECT_EQ(log.calls, 0);
}

}  // namespace
