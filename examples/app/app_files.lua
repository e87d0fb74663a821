-- A scratch pad beside the planner: a text that File > Open and File > Save
-- As read and write through the standard file dialogs, whose font and colour
-- come from the font and colour dialogs, and which copies and pastes through
-- the clipboard.

-- luacheck: globals app
-- (app, the dispatch table init.lua sets up, is shared by every part)
local win32 = require "app_win32"
local CHILD = WS_CHILD | WS_VISIBLE
local PAD_X, PAD_W = 604, 284

local function status(text)
  if app.status then app.status(text) end
end

-- Room on the right for the pad.
do
  local _, l, t, r, b = GetWindowRect(hWin)
  local _, _, cw = GetClientRect(hWin)
  local want_w = PAD_X + PAD_W + 12
  if cw < want_w then
    MoveWindow(hWin, l, t, (r - l) - cw + want_w, b - t, true)
  end
end

local dialog_font = SendMessageInt(hWin, win32.WM_GETFONT, 0, 0)
local function control(class, text, style, x, y, w, h, id)
  local c = CreateWindow(class, text, CHILD | style, x, y, w, h, hWin, id or 0, 0, 0)
  SendMessageInt(c, WM_SETFONT, dialog_font, 0)
  return c
end

control("STATIC", "Scratch pad", SS_LEFT, PAD_X, 15, PAD_W, 18)
local pad = control("EDIT",
  "Open a text file with File > Open (Ctrl+O),\r\nsave it with File > Save As.\r\n\r\n" ..
  "Font... and Colour... change how this\r\ntext looks; Copy and Paste use the\r\nclipboard.",
  WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP,
  PAD_X, 36, PAD_W, 330)

local file_name          -- where the text came from or went last
local font_choice        -- the table ChooseFont returned, reused as the next start
local pad_font           -- the font the pad shows now (ours to delete)
local text_colour = 0    -- 0x00BBGGRR

-- The edit control keeps CR LF line ends; files on disk may have bare LF.
local function to_control(text) return (text:gsub("\r?\n", "\r\n")) end

local function base_name(path) return path:match("[^\\]*$") end

local function open_file()
  local path = OpenDialog()
  if not path then status("Open cancelled.") return end
  local f, err = io.open(path, "rb")
  if not f then messageBox(hWin, err, "Open", MB_ICONERROR) return end
  local text = f:read("a")
  f:close()
  SetWindowText(pad, to_control(text))
  file_name = path
  status(string.format("Opened %s (%d bytes).", base_name(path), #text))
end

local function save_file()
  local path = SaveDialog(file_name and base_name(file_name) or "notes.txt")
  if not path then status("Save cancelled.") return end
  local f, err = io.open(path, "wb")
  if not f then messageBox(hWin, err, "Save As", MB_ICONERROR) return end
  local text = GetWindowTextLarge(pad)
  f:write(text)
  f:close()
  file_name = path
  status(string.format("Saved %s (%d bytes).", base_name(path), #text))
end

local function choose_font()
  local chosen = ChooseFont(font_choice or { facename = "DejaVu Sans", height = -15 })
  if not chosen then return end
  local font = CreateFont(chosen)
  if Ptr2Int(font) == 0 then status("That font could not be made.") return end
  SendMessageInt(pad, WM_SETFONT, Ptr2Int(font), 1)
  if pad_font then DeleteObject(pad_font) end
  pad_font, font_choice = font, chosen
  -- The font dialog's colour list (effects) sets the text colour too.
  text_colour = chosen.rgbColors
  InvalidateRect(pad, nil, true)
  status(string.format("Font: %s, %d px%s%s.", chosen.facename, math.abs(chosen.height),
    chosen.bold and ", bold" or "", chosen.italic and ", italic" or ""))
end

local function choose_colour()
  local colour = ChooseColor(text_colour)
  if not colour then return end
  text_colour = colour
  if font_choice then font_choice.rgbColors = colour end
  InvalidateRect(pad, nil, true)
  local r, g, b = colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF
  status(string.format("Text colour: #%02X%02X%02X.", r, g, b))
end

-- Copy takes the selection, or the whole text when nothing is selected.
local function copy_text()
  local first, last = GetSel(pad)
  local text = GetWindowTextLarge(pad)
  if first ~= last then text = text:sub(first + 1, last) end
  if SetClipboardText(text, hWin) then
    status(string.format("Copied %d characters.", #text))
  else
    status("The clipboard is busy.")
  end
end

local function paste_text()
  local text = GetClipboardText()
  if not text then status("The clipboard holds no text.") return end
  SendMessageString(pad, EM_REPLACESEL, 1, to_control(text))
  status(string.format("Pasted %d characters.", #text))
end

-- The pad's text colour: the edit control asks its parent before painting.
app.on(WM_CTLCOLOREDIT, function(_, _, wp, lp)
  if lp ~= Ptr2Int(pad) then return nil end
  local dc = Int2Ptr(wp)
  SetTextColor(dc, text_colour)
  SetBkColor(dc, GetSysColor(COLOR_WINDOW))
  return Ptr2Int(GetSysColorBrush(COLOR_WINDOW))
end)

local x, y, w = PAD_X, 372, 68
for i, b in ipairs {
  { "F&ont...", choose_font }, { "Co&lour...", choose_colour },
  { "&Copy", copy_text }, { "&Paste", paste_text },
} do
  control("BUTTON", b[1], BS_PUSHBUTTON | WS_TABSTOP, x + (i - 1) * (w + 4), y, w, 26, app.command(b[2]))
end

if app.menu_item then
  -- File ends with a separator and Exit when the dialogs part is there:
  -- Open and Save As go before them.
  local has_exit = package.loaded.app_dialogs ~= nil
  if has_exit then
    DeleteMenu(app.menus.file, 3, MF_BYPOSITION)
    DeleteMenu(app.menus.file, 2, MF_BYPOSITION)
  end
  app.menu_separator("file")
  app.menu_item("file", "&Open...\tCtrl+O", open_file, VK_O, true)
  app.menu_item("file", "Save &As...", save_file)
  if has_exit then
    app.menu_separator("file")
    app.menu_item("file", "E&xit", function() os.exit(0) end)
  end
  app.menu_separator("edit")
  app.menu_item("edit", "Copy pad text", copy_text)
  app.menu_item("edit", "Paste into pad", paste_text)
  app.menu_item("edit", "Pad &font...", choose_font)
  app.menu_item("edit", "Pad &colour...", choose_colour)
end
