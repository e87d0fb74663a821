-- The example app's planner, driven the way a user would: type a task, pick
-- a day and a time, press Add, select it in the list, press Remove.
local t = require "testlib"

local BM_CLICK = 0xF5

local said = require("app_stub")()  -- the example's dispatch, reduced
app.on(WM_COMMAND, function(w, msg, wp, lp, lo, hi)
  local fn = app.commands[lo]
  if fn then fn(w, hi, lp); return 1 end
end)
dialog_callback = function(w, msg, wp, lp, lo, hi)
  for _, fn in ipairs(app.handlers[msg] or {}) do
    local r = fn(w, msg, wp, lp, lo, hi)
    if r ~= nil then return r end
  end
  return 0
end

require "app_controls"

-- The part's controls, found by where they sit in the main window.
local function child_at(x, y)
  return ChildWindowFromPoint(hWin, x, y)
end

t.test("the planner starts with one task shown in the notes", function()
  local list = child_at(300, 100)
  t.eq(SendMessage(list, LB_GETCOUNT, 0, nil), 1)
  local _, line = SendMessageString(list, LB_GETTEXT, 0)
  t.truthy(line:find("Water the plants", 1, true), line)
  t.truthy(line:find("09:30", 1, true), line)
  local notes = child_at(100, 300)
  t.eq(RichEdit_GetTextRange(notes, 0, 16), "Water the plants")
  t.eq(said[#said], "Planned: Water the plants")
end)

t.test("Add and Remove through button clicks", function()
  local title, list = child_at(100, 20), child_at(300, 100)
  local calendar, due = child_at(100, 120), child_at(100, 235)
  t.eq(GetWindowText(title), "Call the library")
  MonthCal_SetCurSel(calendar, { year = 2024, month = 2, day = 29 })
  DateTime_SetSystemtime(due, { year = 2024, month = 2, day = 29, hour = 17, min = 5, sec = 0, wday = 5 })
  SendMessageInt(child_at(500, 20), BM_CLICK, 0, 0)
  t.eq(SendMessage(list, LB_GETCOUNT, 0, nil), 2)
  local _, line = SendMessageString(list, LB_GETTEXT, 1)
  t.eq(line, "2024-02-29 17:05  Call the library [High]")
  t.eq(GetWindowText(title), "", "the field is cleared for the next task")
  t.truthy(RichEdit_GetTextRange(child_at(100, 300), 0, 60):find("Thursday, 2024-02-29 at 17:05", 1, true))
  -- An empty name is refused.
  SendMessageInt(child_at(500, 20), BM_CLICK, 0, 0)
  t.eq(SendMessage(list, LB_GETCOUNT, 0, nil), 2)
  t.eq(said[#said], "Give the task a name first.")
  -- The new task is selected: Remove takes it away again.
  SendMessageInt(child_at(500, 230), BM_CLICK, 0, 0)
  t.eq(SendMessage(list, LB_GETCOUNT, 0, nil), 1)
  t.eq(said[#said], "Removed: 2024-02-29 17:05  Call the library [High]")
end)


t.test("the Important check box reports its new state", function()
  -- Its handler reads the box's own identifier: clicking it once raised
  -- "number expected, got nil" in an error box.
  local box = child_at(400, 22)
  local id = GetWindowLong(box, GWL_ID)
  for _ = 1, 2 do
    local was = IsDlgButtonChecked(hWin, id)
    SendMessageInt(box, BM_CLICK, 0, 0)
    t.eq(said[#said], was == BST_CHECKED and "Marked as ordinary." or "Marked as important.")
    t.truthy(IsDlgButtonChecked(hWin, id) ~= was, "the state changed")
  end
end)
t.done()
