-- The module table: constants, function names, metatables, re-opening.
local t = require "testlib"
local orbix = require "orbix"
local groups = require "names"

-- Areas whose source file has landed register every function of their group.
local areas_built = {}
for _, g in ipairs(groups) do
  local present = 0
  for _, name in ipairs(g) do
    if orbix[name] ~= nil then present = present + 1 end
  end
  areas_built[g.area] = present == #g
  t.test("area " .. g.area .. " is complete or absent", function()
    t.truthy(present == 0 or present == #g, g.area .. ": " .. present .. " of " .. #g)
  end)
end
for _, area in ipairs { "events", "video", "textures", "surfaces", "audio", "fonts_controllers", "primitives" } do
  t.test("area " .. area .. " is built", function() t.truthy(areas_built[area], area) end)
end

t.test("keys are the constants and the known functions only", function()
  local known = {}
  local nfunctions = 0
  for _, g in ipairs(groups) do
    for _, name in ipairs(g) do
      known[name] = true
      nfunctions = nfunctions + 1
    end
  end
  t.eq(nfunctions, 110)
  local ints, funcs, total = 0, 0, 0
  for k, v in pairs(orbix) do
    total = total + 1
    t.eq(type(k), "string", "key type")
    if math.type(v) == "integer" then
      ints = ints + 1
    else
      t.eq(type(v), "function", k)
      t.truthy(known[k], "unknown function " .. k)
      funcs = funcs + 1
    end
  end
  t.eq(ints, 168, "integer constants")
  local expected = 0
  for _, g in ipairs(groups) do
    if areas_built[g.area] then expected = expected + #g end
  end
  t.eq(funcs, expected, "functions")
  if expected == 110 then t.eq(total, 278, "keys") end
  t.eq(getmetatable(orbix), nil)
end)

t.test("constant values", function()
  local want = {
    QUIT = 256, KEYDOWN = 768, TEXTINPUT = 771, MOUSEWHEEL = 1027, CONTROLLERAXISMOTION = 1616,
    CONTROLLERBUTTONDOWN = 1617, CONTROLLERDEVICEADDED = 1619, CONTROLLERSENSORUPDATE = 1625,
    CLIPBOARDUPDATE = 2304, DROPFILE = 4096, DROPCOMPLETE = 4099, CONTROLLER_AXIS_RIGHTY = 3,
    INIT_TIMER = 1, INIT_VIDEO = 32, INIT_AUDIO = 16, INIT_EVERYTHING = 62001, MESSAGEBOX_INFORMATION = 64,
    WINDOW_FULLSCREEN_DESKTOP = 4097, AUDIO_S16 = 32784, K_DELETE = 127, K_SPACE = 32, K_BACKSPACE = 8,
    K_ESCAPE = 27, K_CAPSLOCK = 1073741881, K_F1 = 1073741882, K_F12 = 1073741893, K_END = 1073741901,
    K_KP_1 = 1073741913, K_KP_0 = 1073741922, K_RGUI = 1073742055, KMOD_RESERVED = 32768, KMOD_MODE = 16384,
    PIXELFORMAT_RGBA32 = 376840196, PIXELFORMAT_INDEX8 = 318769153, TEXTUREACCESS_TARGET = 2,
    IMG_INIT_PNG = 2, FLIP_VERTICAL = 2, PRESSED = 1, RELEASED = 0, CONTROLLER_BUTTON_INVALID = -1,
    CONTROLLER_BUTTON_TOUCHPAD = 20, CONTROLLER_BUTTON_MAX = 21, BLENDMODE_MUL = 8,
    BLENDMODE_INVALID = 2147483647, QUERY = -1, ENABLE = 1, DISABLE = 0, BUTTON_RMASK = 4, BUTTON_RIGHT = 3,
    BUTTON_MIDDLE = 2, ScaleModeBest = 2,
  }
  for k, v in pairs(want) do t.eq(orbix[k], v, k) end
end)

t.test("metatables are registered, carry __gc only, survive a second opening", function()
  local names = { "window", "renderer", "music", "soundchunk", "texture", "surface", "font",
                  "frameratemanager", "gamecontroller" }
  local before = {}
  for _, n in ipairs(names) do
    local mt = debug.getregistry()["orbix_" .. n]
    t.eq(type(mt), "table", n)
    t.eq(type(mt.__gc), "function", n)
    t.eq(mt.__name, "orbix_" .. n)
    local keys = 0
    for _ in pairs(mt) do keys = keys + 1 end
    t.eq(keys, 2, n .. " keys")
    before[n] = mt
  end
  -- The explicit release functions are the __gc routines themselves.
  t.eq(debug.getregistry().orbix_window.__gc, orbix.DestroyWindow)
  t.eq(debug.getregistry().orbix_surface.__gc, orbix.FreeSurface)
  local open = package.loadlib(package.searchpath("orbix", package.cpath), "luaopen_orbix")
  local again = open()
  t.truthy(again ~= orbix, "a new table")
  for _, n in ipairs(names) do t.eq(debug.getregistry()["orbix_" .. n], before[n], n) end
end)

t.done()
