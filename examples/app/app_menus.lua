-- The app's menu bar (File, Edit, Help), its keyboard shortcuts and the
-- status line at the bottom of the window, which a timer keeps current.
--
-- Other parts of the app add their own entries:
--   app.menu_item(menu, text, fn [, key, ctrl])   -> identifier
-- where menu is "file", "edit" or "help"; key is a virtual-key code that,
-- with Ctrl when ctrl is true, runs the same function from the keyboard.
--   app.status(text)  shows text in the status line.

-- luacheck: globals app
-- (app, the dispatch table init.lua sets up, is shared by every part)
local win32 = require "app_win32"

local bar = CreateMenu()
app.menus = { file = CreatePopupMenu(), edit = CreatePopupMenu(), help = CreatePopupMenu() }
AppendMenu(bar, MF_POPUP, app.menus.file, "&File")
AppendMenu(bar, MF_POPUP, app.menus.edit, "&Edit")
AppendMenu(bar, MF_POPUP, app.menus.help, "&Help")
SetMenu(hWin, bar)

-- One table serves the whole program: every new shortcut rebuilds it.
local accelerators = {}

function app.menu_item(menu, text, fn, key, ctrl)
  local id = app.command(function() fn() end)
  AppendMenu(app.menus[menu], MF_STRING, id, text)
  if key then
    accelerators[#accelerators + 1] = { fVirt = FVIRTKEY | (ctrl and FCONTROL or 0), key = key, cmd = id }
    CreateAcceleratorTable(accelerators)
  end
  DrawMenuBar(hWin)
  return id
end

function app.menu_separator(menu)
  AppendMenu(app.menus[menu], MF_SEPARATOR, 0, "")
end

-- Status line: the last message on the left, the clock on the right.
local status = CreateWindow("STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 10, 10, hWin, 990, 0, 0)
local clock = CreateWindow("STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 10, 10, hWin, 991, 0, 0)
local font = SendMessageInt(hWin, win32.WM_GETFONT, 0, 0)
SendMessageInt(status, WM_SETFONT, font, 0)
SendMessageInt(clock, WM_SETFONT, font, 0)
local message = "Ready."

local function place_status()
  local _, _, w, h = GetClientRect(hWin)
  MoveWindow(status, 8, h - 22, w - 90, 18, 1)
  MoveWindow(clock, w - 74, h - 22, 70, 18, 1)
end

function app.status(text)
  message = text
  SetWindowText(status, text)
end

local CLOCK_TIMER = 77
app.on(WM_TIMER, function(_, _, wp)
  if wp == CLOCK_TIMER then
    SetWindowText(clock, os.date("%H:%M:%S"))
    return 1
  end
end)
app.on(WM_SIZE, function() place_status() end)

place_status()
app.status(message)
SetWindowText(clock, os.date("%H:%M:%S"))
SetTimer(hWin, CLOCK_TIMER, 1000)

-- Entries of this part: a word-wrap toggle to show checked items, and Exit.
local wrap = false
local wrap_id
wrap_id = app.menu_item("edit", "&Word wrap\tCtrl+W", function()
  wrap = not wrap
  CheckMenuItem(app.menus.edit, wrap_id, MF_BYCOMMAND | (wrap and MF_CHECKED or MF_UNCHECKED))
  app.status(wrap and "Word wrap on." or "Word wrap off.")
end, VK_W, true)
