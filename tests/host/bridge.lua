-- How window messages reach dialog_callback and how its answers come back.
local t = require "testlib"

local WM_VKEYTOITEM = 0x2E  -- a dialog returns its procedure's result for this one
local WM_GETTEXTLENGTH = 0x0E
local PROBE = 0x8001        -- application range: nobody else sends these
local RAISE = 0x8002

t.test("hWin and hInstance are light userdata set before init.lua", function()
  t.eq(type(hWin), "userdata")
  t.eq(type(hInstance), "userdata")
  -- Only a light userdata equals another light userdata of the same address.
  t.truthy(Int2Ptr(Ptr2Int(hWin)) == hWin, "hWin is light")
  t.truthy(Int2Ptr(Ptr2Int(hInstance)) == hInstance, "hInstance is light")
  t.truthy(Ptr2Int(hWin) ~= 0 and Ptr2Int(hInstance) ~= 0)
end)

local seen
t.test("the six callback arguments", function()
  dialog_callback = function(...)
    seen = table.pack(...)
    return 0
  end
  SendMessageInt(hWin, 0xC123, 0x0001234500067890, -(1 << 40))
  t.eq(seen.n, 6)
  t.truthy(seen[1] == hWin, "window")
  t.eq(seen[2], 0xC123)
  t.eq(seen[3], 0x0001234500067890)
  t.eq(seen[4], -(1 << 40))
  t.eq(seen[5], 0x7890)
  t.eq(seen[6], 0x0006)
  SendMessageInt(hWin, PROBE, -1, 0)
  t.eq(seen[3], -1, "wParam is signed 64-bit")
  t.eq(seen[5], 0xFFFF)
  t.eq(seen[6], 0xFFFF)
end)

t.test("callback results are rounded half to even through a double", function()
  local answer
  dialog_callback = function(w, msg)
    if msg == WM_VKEYTOITEM then return answer end
    return 0
  end
  local cases = {
    { 2.5, 2 }, { 3.5, 4 }, { -1.5, -2 }, { -2.5, -2 }, { "7", 7 }, { " 12.5 ", 12 },
    { 41, 41 }, { -(1 << 40), -(1 << 40) }, { 0x7FFFFFFFFFFF, 0x7FFFFFFFFFFF },
    { true, 0 }, { false, 0 }, { "seven", 0 }, { {}, 0 }, { hWin, 0 },
    { 0 / 0, 0 }, { 1e300, math.maxinteger }, { -1e300, math.mininteger },
  }
  for _, c in ipairs(cases) do
    answer = c[1]
    t.eq(SendMessageInt(hWin, WM_VKEYTOITEM, 0, 0), c[2], tostring(c[1]))
  end
  answer = nil
  t.eq(SendMessageInt(hWin, WM_VKEYTOITEM, 0, 0), 0, "nil")
  dialog_callback = function() end
  t.eq(SendMessageInt(hWin, WM_VKEYTOITEM, 0, 0), 0, "no result")
end)

t.test("result 0 lets the dialog answer, non-zero marks the message handled", function()
  SetWindowText = SetWindowText  -- not needed: the caption of template 2 is "Window"
  dialog_callback = function() return 0 end
  t.eq(SendMessageInt(hWin, WM_GETTEXTLENGTH, 0, 0), #"Window")
end)

t.test("removing dialog_callback from inside the callback", function()
  local calls = 0
  dialog_callback = function(w, msg)
    if msg == PROBE then
      calls = calls + 1
      dialog_callback = nil
      return 5
    end
    return 0
  end
  SendMessageInt(hWin, PROBE, 0, 0)
  SendMessageInt(hWin, PROBE, 0, 0)
  t.eq(calls, 1)
  dialog_callback = 42  -- not a function: ignored as well
  SendMessageInt(hWin, PROBE, 0, 0)
  t.eq(calls, 1)
end)

-- Values a C function has on the Lua stack are visible to debug.getlocal as
-- temporaries, so a callback can count what the binding that sent its
-- message (two levels up from here) holds. Every nested offer must leave
-- exactly the binding's own arguments there.
local function temporaries_of_sender()
  local n = 0
  while debug.getlocal(3, n + 1) do n = n + 1 end
  return n
end

t.test("nested callbacks leave the Lua stack as they found it", function()
  local counts = {}
  dialog_callback = function(w, msg, wp)
    if msg == PROBE then
      counts[#counts + 1] = temporaries_of_sender()
      return 1, 2, 3
    elseif msg == RAISE then
      error("nested failure " .. wp)
    elseif msg == WM_VKEYTOITEM then
      return {}
    end
    return "not a number"
  end
  -- MoveWindow makes Windows send a series of messages while one binding
  -- frame stays open; each of them re-enters the callback.
  MoveWindow(hWin, 10, 10, 420, 320, true)
  SendMessageInt(hWin, PROBE, 0, 0)
  SendMessageInt(hWin, WM_VKEYTOITEM, 0, 0)
  SendMessageInt(hWin, RAISE, 1, 0)  -- shows an error box; uiwatch presses OK
  SendMessageInt(hWin, PROBE, 0, 0)
  t.eq(#counts, 2)
  t.eq(counts[1], 4, "SendMessageInt's four arguments")
  t.eq(counts[2], 4)

  local during_move = {}
  dialog_callback = function(w, msg)
    during_move[#during_move + 1] = temporaries_of_sender()
    return msg % 3 == 0 and 2.5 or nil
  end
  MoveWindow(hWin, 20, 20, 400, 300, true)
  t.truthy(#during_move >= 3, "MoveWindow sent several messages")
  for i, n in ipairs(during_move) do t.eq(n, 6, "message " .. i .. " during MoveWindow") end
end)

t.test("an error in the callback shows text and traceback, result 0, program goes on", function()
  local after = false
  dialog_callback = function(w, msg)
    if msg == RAISE then error("callback failed on purpose") end
    if msg == PROBE then after = true end
    return 9
  end
  t.eq(SendMessageInt(hWin, RAISE, 0, 0), 0)
  SendMessageInt(hWin, PROBE, 0, 0)
  t.truthy(after, "callback still called afterwards")
end)

t.test("globals whose __index raises (strict mode) give an error box, not the end of the program", function()
  -- Looking dialog_callback up runs the metamethod; before, its error
  -- escaped every protected call and ended the program.
  dialog_callback = nil
  local raised = 0
  setmetatable(_G, { __index = function(_, k)
    if raised == 0 then
      raised = 1
      error("undefined global " .. tostring(k), 2)
    end
  end })
  t.eq(SendMessageInt(hWin, RAISE, 0, 0), 0)
  setmetatable(_G, nil)
  t.eq(raised, 1)
  local seen = false
  dialog_callback = function(w, msg) if msg == PROBE then seen = true end return 0 end
  SendMessageInt(hWin, PROBE, 0, 0)
  t.truthy(seen, "the callback defined afterwards is called")
end)

-- The remaining checks need the message loop: finish from a timer tick.
dialog_callback = function(w, msg, wp)
  if msg == WM_TIMER and wp == 3 then
    KillTimer(hWin, 3)
    t.test("timer ticks arrive through the message loop", function()
      t.eq(wp, 3)
    end)
    t.done()
  end
  return 0
end
SetTimer(hWin, 3, 20, nil)
