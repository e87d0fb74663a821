-- Game controllers without a device: empty handles, null joysticks and the
-- values JoystickRumble refuses to hand to SDL. (With a device attached:
-- controllers_virtual.cpp.)
local t = require "testlib"
local orbix = require "orbix"

assert(orbix.Init(orbix.INIT_GAMECONTROLLER | orbix.INIT_JOYSTICK) == 0, orbix.GetError())

local function is_null(lud)
  -- Lua prints a light userdata's address with the C library's %p.
  local s = tostring(lud)
  return s:find("nil", 1, true) ~= nil or s:match(": 0x0+$") ~= nil or s:match(": 0+$") ~= nil
end

t.test("no controller at an index: empty handle, null joystick, refused rumble", function()
  local count = orbix.NumJoysticks()
  t.eq(math.type(count), "integer")
  t.truthy(count >= 0, "device count")
  local gc = orbix.GameControllerOpen(count)  -- one past the last device
  t.eq(getmetatable(gc).__name, "orbix_gamecontroller")
  local joy = orbix.GameControllerGetJoystick(gc)
  t.eq(type(joy), "userdata")
  t.eq(getmetatable(joy), nil, "a bare address, not a handle")
  t.truthy(is_null(joy), "null joystick: " .. tostring(joy))
  t.truthy(orbix.JoystickRumble(joy, 0xFFFF, 0xFFFF, 100) < 0, "rumble refused")
  t.eq(orbix.GameControllerGetJoystick(orbix.GameControllerOpen(-1)), joy, "negative index too")
end)

t.test("JoystickRumble takes only a joystick of an open controller", function()
  local gc = orbix.GameControllerOpen(orbix.NumJoysticks())
  t.eq(orbix.JoystickRumble(nil, 1, 1, 1), -1)
  t.eq(orbix.JoystickRumble(12345, 1, 1, 1), -1)
  -- A handle is a full userdata: its block holds no joystick.
  t.eq(orbix.JoystickRumble(gc, 1, 1, 1), -1)
  t.truthy(orbix.GetError():find("not a joystick", 1, true), orbix.GetError())
  t.eq(orbix.JoystickRumble(orbix.initFramerate(), 1, 1, 1), -1)
  t.raises(function() orbix.JoystickRumble(nil, 1, 1) end, "bad argument #4")
  t.raises(function() orbix.JoystickRumble(nil, 1, "x", 5) end, "bad argument #3")
  t.raises(function() orbix.JoystickRumble(nil, nil, 1, 5) end, "bad argument #2")
end)

t.test("controller arguments are checked", function()
  t.raises(function() orbix.GameControllerOpen() end, "bad argument #1")
  t.raises(function() orbix.GameControllerGetJoystick(nil) end, "orbix_gamecontroller")
  t.raises(function() orbix.GameControllerGetJoystick(orbix.initFramerate()) end, "orbix_gamecontroller")
  for _ = 1, 20 do orbix.GameControllerOpen(99) end
  collectgarbage()
  collectgarbage()
end)

t.done()
