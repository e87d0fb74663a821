-- The app's dialogs: asking for the user's name and a note (input boxes),
-- saving the note with Ctrl+S, the Lua console (run box) and an About box
-- (a script dialog with its own controls).

-- luacheck: globals app
-- (app, the dispatch table init.lua sets up, is shared by every part)
local win32 = require "app_win32"
local name, note = nil, nil

local function ask_name()
  local answer = getInput("What should this app call you?", name or "", "Your name")
  if answer and answer ~= "" then
    name = answer
    SetWindowText(hWin, "Script host demo - " .. name)
    app.status("Hello, " .. name .. "!")
  else
    app.status("Name unchanged.")
  end
end

local function edit_note()
  local answer = getInput("A one-line note (Ctrl+S saves it beside the program):", note or "", "Note")
  if answer then
    note = answer
    app.status("Note: " .. note)
  end
end

local function save_note()
  if not note then
    app.status("Nothing to save yet: Edit > Note... first.")
    return
  end
  -- exepath() is the program's folder ("C:\" at a drive root): the note goes
  -- beside the program.
  local path = exepath and (exepath():gsub("\\$", "") .. "\\note.txt") or "note.txt"
  local f = io.open(path, "w")
  if f then
    f:write(note, "\n")
    f:close()
    app.status("Saved the note to " .. path)
  else
    app.status("Could not write " .. path)
  end
end

local function run_lua()
  app.status("Lua console open.")
  runbox()
  app.status("Lua console closed.")
end

-- About: a script dialog built by its initialisation function. Its
-- messages arrive at dialog_callback with the dialog as first argument.
local about
local function show_about()
  NewDialog(function()
    about = dialog_hwin
    SetWindowText(about, "About")
    local font = SendMessageInt(hWin, win32.WM_GETFONT, 0, 0)
    local text = CreateWindow("STATIC",
      "Script host demo\n\nEverything in this window, its menus, shortcuts and dialogs is written in Lua.",
      WS_CHILD | WS_VISIBLE | SS_LEFT, 16, 16, 330, 80, about, 1, 0, 0)
    local ok = CreateWindow("BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
      140, 110, 80, 26, about, IDOK, 0, 0)
    SendMessageInt(text, WM_SETFONT, font, 0)
    SendMessageInt(ok, WM_SETFONT, font, 0)
    -- Smaller than the template, around the same centre.
    local _, l, t, r, b = GetWindowRect(about)
    MoveWindow(about, (l + r) // 2 - 190, (t + b) // 2 - 95, 380, 190, 1)
  end)
end

-- Messages of the About box: OK, Esc and the close box end it.
local previous = dialog_callback
dialog_callback = function(w, msg, wp, lp, lo, hi)
  if about and w == about then
    if (msg == WM_COMMAND and (lo == IDOK or lo == IDCANCEL)) or msg == WM_CLOSE then
      EndDialog(w, 0)
      about = nil
      return 1
    end
    return 0
  end
  return previous(w, msg, wp, lp, lo, hi)
end

app.menu_item("file", "&Run Lua...\tCtrl+R", run_lua, VK_R, true)
app.menu_item("file", "&Save note\tCtrl+S", save_note, VK_S, true)
app.menu_separator("file")
app.menu_item("file", "E&xit", function() os.exit(0) end)
app.menu_separator("edit")
app.menu_item("edit", "Your &name...\tCtrl+N", ask_name, VK_N, true)
app.menu_item("edit", "N&ote...", edit_note)
app.menu_item("help", "&About...", show_about, VK_F1)
app.status("Ready. Try Ctrl+N, Ctrl+R or the menus.")
