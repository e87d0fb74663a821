-- Menus built, attached, checked, enabled and deleted; window timers.
local t = require "testlib"

local NOITEM = 4294967295  -- CheckMenuItem's answer for a missing item

local function null(h) return Ptr2Int(h) == 0 end

t.test("a menu bar with a pop-up attached to the main window", function()
  local bar, file = CreateMenu(), CreatePopupMenu()
  t.eq(type(bar), "userdata")
  t.falsy(null(bar) or null(file), "handles")
  t.eq(AppendMenu(file, MF_STRING, 101, "&Open"), true)
  t.eq(AppendMenu(file, MF_SEPARATOR, 0, ""), true)
  t.eq(AppendMenu(file, MF_STRING, 102, "E&xit"), true)
  t.eq(AppendMenu(bar, MF_POPUP, file, "&File"), true)
  t.eq(SetMenu(hWin, bar), true)
  t.truthy(GetMenu(hWin) == bar, "GetMenu gives the bar as light userdata")
  t.eq(DrawMenuBar(hWin), true)
  -- Commands are found through the bar in its pop-ups.
  t.eq(CheckMenuItem(bar, 102, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED)
  t.eq(SetMenu(hWin, nil), true)
  t.truthy(null(GetMenu(hWin)), "no menu")
  t.eq(DestroyMenu(bar), true)  -- takes its pop-up along
  t.eq(DestroyMenu(bar), false)
  t.eq(DrawMenuBar(nil), false)
end)

t.test("checking items reports the previous state, unsigned", function()
  local m = CreatePopupMenu()
  AppendMenu(m, MF_STRING, 201, "one")
  AppendMenu(m, MF_STRING, 202, "two")
  t.eq(CheckMenuItem(m, 201, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED)
  t.eq(CheckMenuItem(m, 201, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED)
  t.eq(CheckMenuItem(m, 1, MF_BYPOSITION | MF_CHECKED), MF_UNCHECKED)
  t.eq(CheckMenuItem(m, 202, MF_BYCOMMAND), MF_CHECKED)
  t.eq(CheckMenuItem(m, 999, MF_BYCOMMAND), NOITEM)
  t.eq(CheckMenuItem(nil, 201, MF_BYCOMMAND), NOITEM)
  DestroyMenu(m)
end)

t.test("enabling items: true when it was grayed before or is missing", function()
  local m = CreatePopupMenu()
  AppendMenu(m, MF_STRING, 301, "item")
  t.eq(EnableMenuItem(m, 301, MF_BYCOMMAND | MF_GRAYED), false)
  t.eq(EnableMenuItem(m, 301, MF_BYCOMMAND | MF_GRAYED), true)
  t.eq(EnableMenuItem(m, 301, MF_BYCOMMAND | MF_ENABLED), true)
  t.eq(EnableMenuItem(m, 301, MF_BYCOMMAND | MF_ENABLED), false)
  t.eq(EnableMenuItem(m, 999, MF_BYCOMMAND | MF_ENABLED), true)
  DestroyMenu(m)
end)

t.test("deleting items by command and by position", function()
  local m = CreatePopupMenu()
  AppendMenu(m, MF_STRING, 401, "a")
  AppendMenu(m, MF_STRING, 402, "b")
  AppendMenu(m, MF_STRING, 403, "c")
  t.eq(DeleteMenu(m, 402, MF_BYCOMMAND), true)
  t.eq(CheckMenuItem(m, 402, MF_BYCOMMAND), NOITEM)
  t.eq(DeleteMenu(m, 402, MF_BYCOMMAND), false)
  t.eq(DeleteMenu(m, 0, MF_BYPOSITION), true)        -- "a"
  t.eq(CheckMenuItem(m, 401, MF_BYCOMMAND), NOITEM)
  t.eq(CheckMenuItem(m, 0, MF_BYPOSITION), MF_UNCHECKED)  -- "c" moved up
  t.eq(DeleteMenu(m, 5, MF_BYPOSITION), false)
  DestroyMenu(m)
end)

t.test("AppendMenu: integer subtype is an identifier, a float is not", function()
  local m = CreatePopupMenu()
  t.eq(AppendMenu(m, MF_STRING, 5.0, "five"), true)
  t.eq(CheckMenuItem(m, 5, MF_BYCOMMAND), NOITEM)
  t.eq(CheckMenuItem(m, 0, MF_BYCOMMAND), MF_UNCHECKED, "the float gave identifier 0")
  t.eq(AppendMenu(m, MF_STRING, 7, "seven"), true)
  t.eq(CheckMenuItem(m, 7, MF_BYCOMMAND), MF_UNCHECKED)
  -- Neither an integer nor a handle: identifier 0 as well.
  t.eq(AppendMenu(m, MF_STRING, "text", "string id"), true)
  t.raises(function() AppendMenu(m, MF_STRING, 8) end, "bad argument #4 to 'AppendMenu'")
  t.raises(function() AppendMenu(m, "x", 8, "t") end, "bad argument #2 to 'AppendMenu'")
  t.eq(AppendMenu(nil, MF_STRING, 9, "no menu"), false)
  DestroyMenu(m)
end)

t.test("argument errors of the item functions", function()
  t.raises(function() CheckMenuItem(nil, "x", 0) end, "bad argument #2 to 'CheckMenuItem'")
  t.raises(function() EnableMenuItem(nil, 1) end, "bad argument #3 to 'EnableMenuItem'")
  t.raises(function() DeleteMenu(nil, 1.5, 0) end, "bad argument #2 to 'DeleteMenu'")
end)

t.test("accelerator tables: argument rules", function()
  t.raises(function() CreateAcceleratorTable(5) end, "length of a number value")
  t.raises(function() CreateAcceleratorTable({ 1 }) end, "index a number value")
  t.raises(function() CreateAcceleratorTable(setmetatable({}, { __len = function() return 1.5 end })) end,
    "integer")
  t.eq(select("#", CreateAcceleratorTable({ { fVirt = FVIRTKEY, key = VK_S, cmd = 1 } })), 0)
  CreateAcceleratorTable()            -- not exactly one argument: no effect
  CreateAcceleratorTable({}, {})
  -- A lying length: negative means none; a __len or __index that replaces
  -- the set while it is being read leaves the replacing call's set.
  CreateAcceleratorTable(setmetatable({}, { __len = function() return -3 end }))
  local sneaky = setmetatable({}, {
    __len = function() return 50 end,
    __index = function(_, i)
      if i == 2 then CreateAcceleratorTable({ { fVirt = FVIRTKEY, key = VK_Q, cmd = 9 } }) end
      return { fVirt = FVIRTKEY, key = VK_A + (i % 20), cmd = i }
    end,
  })
  CreateAcceleratorTable(sneaky)
  t.eq(DestroyAcceleratorTable("ignored", 1), nil)
  DestroyAcceleratorTable()
end)

-- Timers: ticks arrive as WM_TIMER with their identifier; KillTimer rounds.
local ticks = { [1] = 0, [0x123456789] = 0 }
local after_kill = 0
local killed = false
dialog_callback = function(w, msg, wp, lp, lo)
  if msg ~= WM_TIMER or w ~= hWin then return 0 end
  if wp == 1 then
    if killed then after_kill = after_kill + 1 end
    ticks[1] = ticks[1] + 1
    if ticks[1] == 2 then
      KillTimer(hWin, 1.4)
      killed = true
    end
  elseif wp == 0x123456789 then
    ticks[wp] = ticks[wp] + 1
    KillTimer(hWin, 0x123456789 + 0.0)
  elseif wp == 3 then
    KillTimer(hWin, 3)
    t.test("timers tick with their identifier and stop on KillTimer", function()
      t.eq(ticks[1], 2)
      t.eq(after_kill, 0)
      t.eq(ticks[0x123456789], 1, "a 64-bit identifier, killed by a float")
    end)
    t.done()
  end
  return 0
end
t.eq(select("#", SetTimer(hWin, 1, 29.5)), 0)  -- 30 ms
SetTimer(hWin, 0x123456789, 20)
SetTimer(hWin, 3, 700)
