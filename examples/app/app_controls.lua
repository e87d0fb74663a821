-- A small task planner built from standard controls: an edit field for the
-- task, a priority combo box, an "important" check box, a month calendar for
-- the day, a time picker, a list of planned tasks and a rich-edit pane that
-- shows the selected task with formatting. Everything is wired through
-- dialog_callback (app.on / app.command from init.lua).

-- luacheck: globals app
-- (app, the dispatch table init.lua sets up, is shared by every part)
local win32 = require "app_win32"
local CHILD = WS_CHILD | WS_VISIBLE

local function status(text)
  if app.status then app.status(text) end
end

-- The planner needs some room: grow the main window if it is smaller.
do
  local _, l, t, r, b = GetWindowRect(hWin)
  local _, _, cw, ch = GetClientRect(hWin)
  local want_w, want_h = 600, 470
  if cw < want_w or ch < want_h then
    local extra_w, extra_h = (r - l) - cw, (b - t) - ch
    MoveWindow(hWin, l, t, math.max(cw, want_w) + extra_w, math.max(ch, want_h) + extra_h, true)
  end
end

local font = SendMessageInt(hWin, win32.WM_GETFONT, 0, 0)
local function control(class, text, style, x, y, w, h, id)
  local c = CreateWindow(class, text, CHILD | style, x, y, w, h, hWin, id or 0, 0, 0)
  SendMessageInt(c, WM_SETFONT, font, 0)
  return c
end

local tasks = {}  -- { title, priority, important, date table, time table }
local priorities = { "Low", "Normal", "High" }

-- Row 1: what, how urgent.
control("STATIC", "Task:", SS_LEFT, 12, 15, 40, 18)
local title = control("EDIT", "Water the plants", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 52, 12, 210, 22)
local priority = control("COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 272, 12, 90, 120)
for _, p in ipairs(priorities) do SendMessageString(priority, CB_ADDSTRING, 0, p) end
SendMessageInt(priority, CB_SETCURSEL, 1, 0)
local important_id
important_id = app.command(function(_, code)
  if code == BN_CLICKED then status("Marked as " .. (IsDlgButtonChecked(hWin, important_id) == BST_CHECKED
    and "important." or "ordinary.")) end
end)
control("BUTTON", "Important", BS_AUTOCHECKBOX | WS_TABSTOP, 372, 14, 90, 20, important_id)

-- Row 2: when.
local calendar = control("SysMonthCal32", "", WS_BORDER, 12, 46, 250, 170)
control("STATIC", "Due at:", SS_LEFT, 12, 230, 50, 18)
local due = control("SysDateTimePick32", "", DTS_TIMEFORMAT | WS_TABSTOP, 64, 226, 110, 24)

-- The plan itself.
control("STATIC", "Planned:", SS_LEFT, 272, 46, 80, 18)
local list
local notes

local function two(n) return string.format("%02d", n) end

local function line_of(task)
  return string.format("%d-%s-%s %s:%s  %s%s [%s]", task.date.year, two(task.date.month),
    two(task.date.day), two(task.time.hour), two(task.time.min), task.important and "* " or "",
    task.title, priorities[task.priority])
end

-- Shows one task in the rich-edit pane: a large bold heading, then details.
local function show(task)
  if not task then
    SetWindowText(notes, "Nothing selected.\rAdd a task above, then pick it from the list.")
    return
  end
  local days = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" }
  SetWindowText(notes, task.title .. "\r" ..
    string.format("%s, %d-%s-%s at %s:%s\rPriority: %s%s\rSearch for it: https://example.com/search?q=%s",
      days[task.date.wday] or "?", task.date.year, two(task.date.month), two(task.date.day),
      two(task.time.hour), two(task.time.min), priorities[task.priority],
      task.important and ", marked important" or "", (task.title:gsub("%s+", "+"))))
  -- Heading: the first line, bold, larger and centred.
  SendMessageInt(notes, EM_SETSEL, 0, #task.title)
  local cf = CHARFORMAT { dwMask = CFM_BOLD | CFM_SIZE | CFM_COLOR, dwEffects = CFE_BOLD, yHeight = 280,
    crTextColor = task.important and 0x2020C0 or 0x804020 }
  SendMessage(notes, EM_SETCHARFORMAT, SCF_SELECTION, cf)
  LocalFree(cf)
  local pf = PARAFORMAT2 { dwMask = PFM_ALIGNMENT | PFM_SPACEAFTER, wAlignment = PFA_CENTER, dySpaceAfter = 120 }
  SendMessage(notes, EM_SETPARAFORMAT, 0, pf)
  LocalFree(pf)
  SendMessageInt(notes, EM_SETSEL, 0, 0)
end

local function selected()
  local i = SendMessageInt(list, LB_GETCURSEL, 0, 0)
  return i ~= win32.LB_ERR and i or nil
end

local list_id = app.command(function(_, code)
  if code == LBN_SELCHANGE then
    local i = selected()
    show(i and tasks[i + 1])
  end
end)
list = control("LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | WS_TABSTOP,
  272, 66, 310, 150, list_id)

local function add_task()
  local text = GetWindowText(title)
  if text:match("^%s*$") then
    status("Give the task a name first.")
    SetFocus(title)
    return
  end
  local task = {
    title = text,
    priority = SendMessageInt(priority, CB_GETCURSEL, 0, 0) + 1,
    important = IsDlgButtonChecked(hWin, important_id) == BST_CHECKED,
    date = MonthCal_GetCurSel(calendar),
    time = DateTime_GetSystemtime(due),
  }
  tasks[#tasks + 1] = task
  local index = SendMessageString(list, LB_ADDSTRING, 0, line_of(task))
  SendMessageInt(list, LB_SETCURSEL, index, 0)
  show(task)
  SetWindowText(title, "")
  CheckDlgButton(hWin, important_id, BST_UNCHECKED)
  status("Planned: " .. text)
  SetFocus(title)
end

local function remove_task()
  local i = selected()
  if not i then status("Select a task to remove.") return end
  local _, text = SendMessageString(list, LB_GETTEXT, i, nil)
  SendMessageInt(list, LB_DELETESTRING, i, 0)
  table.remove(tasks, i + 1)
  show(nil)
  status("Removed: " .. text)
end

control("BUTTON", "&Add", BS_DEFPUSHBUTTON | WS_TABSTOP, 482, 11, 100, 26, app.command(add_task))
control("BUTTON", "&Remove", BS_PUSHBUTTON | WS_TABSTOP, 482, 222, 100, 26, app.command(remove_task))

notes = control("RICHEDIT50W", "", WS_BORDER | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 12, 262, 570, 150)
SendMessageInt(notes, EM_AUTOURLDETECT, 1, 0)
SendMessageInt(notes, EM_SETEVENTMASK, 0, ENM_LINK | win32.ENM_SELCHANGE)

-- Notifications: calendar clicks, time changes, links in the notes.
app.on(WM_NOTIFY, function(_, _, _, lp)
  local from, _, code = NMHDR(Int2Ptr(lp))
  if from == calendar and code == MCN_SELCHANGE then
    local d = MonthCal_GetCurSel(calendar)
    status(string.format("Day: %d-%s-%s", d.year, two(d.month), two(d.day)))
  elseif from == due and code == DTN_DATETIMECHANGE then
    local t = DateTime_GetSystemtime(due)
    status(string.format("Due at %s:%s", two(t.hour), two(t.min)))
  elseif from == notes and code == EN_LINK then
    local _, mouse, _, _, first, last = ENLINK(Int2Ptr(lp))
    if mouse == WM_LBUTTONUP then
      local url = RichEdit_GetTextRange(notes, first, last)
      if ShellExecute then ShellExecute(hWin, "open", url, "", "", SW_SHOWNORMAL) end
      status("Opened " .. url)
    end
  end
end)

-- A first task so the planner does not start empty.
DateTime_SetSystemtime(due, { year = 2025, month = 1, day = 1, hour = 9, min = 30, sec = 0, wday = 4 })
SendMessageInt(priority, CB_SETCURSEL, 2, 0)
CheckDlgButton(hWin, important_id, BST_CHECKED)
add_task()
SetWindowText(title, "Call the library")
