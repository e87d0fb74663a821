-- Text and file names in UTF-8. The program runs from a folder named in CJK
-- and accented letters, with one of the shipped manifests beside it and that
-- folder as its working directory; the arguments are: <uiwatch.exe>.
--
-- Every function that takes or returns text or a file name and needs no
-- modal dialog is checked with such text (text_dialogs.lua has the dialogs).
-- A round trip through the host alone would also pass if the system kept
-- the bytes without understanding them, so each text is also met on a second
-- way that is Unicode from end to end: SDL (orbix) opens files and titles
-- windows by UTF-8 itself, a helper program reads and writes the clipboard
-- as Unicode, and uiwatch reads the window texts as Unicode at the end.
local t = require "testlib"
local images = require "gdi_images"

local FOLDER = "文字 Ünïcödé 工具"
local home = exepath()
local helper = Command(1)
local SW_HIDE, SND_NODEFAULT, WM_SETTEXT, WM_GETTEXT = 0, 0x0002, 0x000C, 0x000D

local function write(path, bytes)
  local f = assert(io.open(path, "wb"))
  f:write(bytes)
  f:close()
end
local function read(path)
  local f = io.open(path, "rb")
  if not f then return nil end
  local bytes = f:read("a")
  f:close()
  return bytes
end
local function listing(...)
  local names, name = {}, Dir(...)
  while name ~= "" do
    names[name] = true
    name = Dir()
  end
  return names
end

t.test("the program's folder, command line and chunk name are UTF-8", function()
  t.eq(home:sub(-#FOLDER - 1), "\\" .. FOLDER)
  t.eq(debug.getinfo(1, "S").source, "@" .. home .. "\\init.lua")
  t.truthy(GetCommandLine():find(FOLDER, 1, true), GetCommandLine())
  t.truthy(Command(0):find(FOLDER, 1, true), Command(0))
  t.eq(GetCurrentDirectory(), home)
end)

local sub = home .. "\\子 Ordner ä"
t.test("lua_fsop: mkdir, cd, ls, realpath, filesize, rmdir", function()
  local lib = assert(package.searchpath("lua_fsop", package.cpath))
  assert(package.loadlib(lib, "fsop"))()
  mkdir(sub)
  mkdir(sub .. "\\空 leer ö")
  t.eq(cd(sub), sub)
  write("数 Zahl ß.txt", "12345")
  t.eq(filesize("数 Zahl ß.txt"), 5.0)
  t.eq(realpath("数 Zahl ß.txt"), sub .. "\\数 Zahl ß.txt")
  local names = {}
  for _, n in ipairs(ls()) do names[n] = true end
  t.truthy(names["数 Zahl ß.txt"] and names["空 leer ö"], "listing of " .. sub)
  rmdir(sub .. "\\空 leer ö")
  t.eq(cd(home), home)
  t.eq(read(sub .. "\\数 Zahl ß.txt"), "12345")
end)

t.test("SetCurrentDirectory and GetCurrentDirectory", function()
  t.eq(SetCurrentDirectory(sub), true)
  local dir, n = GetCurrentDirectory()
  t.eq(dir, sub)
  t.eq(n, #sub + 0.0)
  t.eq(read("数 Zahl ß.txt"), "12345")
  t.eq(SetCurrentDirectory(home), true)
end)

t.test("io, dofile and require", function()
  write(home .. "\\模块_ü.lua", 'return { name = "模块 ü" }')
  write(home .. "\\脚本 ä.lua", 'return "脚本 ä"')
  t.eq(require("模块_ü").name, "模块 ü")
  t.eq(dofile(home .. "\\脚本 ä.lua"), "脚本 ä")
  write(home .. "\\テキスト é.txt", "内容 Inhalt ü\n")
  t.eq(read(home .. "\\テキスト é.txt"), "内容 Inhalt ü\n")
  t.truthy(os.rename(home .. "\\テキスト é.txt", home .. "\\改名 ñ.txt"))
  t.eq(read(home .. "\\改名 ñ.txt"), "内容 Inhalt ü\n")
end)

t.test("Dir lists and matches names in UTF-8", function()
  local names = listing("*.txt")
  t.truthy(names["改名 ñ.txt"], "改名 ñ.txt listed")
  names = listing("改名*")
  t.truthy(names["改名 ñ.txt"], "pattern with CJK letters")
  names = listing("*", 0x10)
  t.truthy(names["子 Ordner ä"], "folder listed")
end)

local png = home .. "\\写真 Foto é.png"
images.png(png, 6, 4, function(x) return 10 * x, 20, 30 end)
local bmp = home .. "\\画像 Bild ä.bmp"
images.bmp(bmp, 5, 3, function() return 1, 2, 3 end)

t.test("LoadImage from a file", function()
  local h = LoadImage(nil, bmp, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)
  t.truthy(Ptr2Int(h) ~= 0, "bitmap loaded")
  local w, hh = GetSizeImage(h)
  t.eq(w, 5); t.eq(hh, 3)
  DeleteObject(h)
end)

GdiplusStartup()
t.test("GDI+ opens files by UTF-8 names", function()
  local image = GdipLoadImageFromFile(png)
  t.truthy(Ptr2Int(image) ~= 0, "GdipLoadImageFromFile")
  GdipDisposeImage(image)
  local bitmap = GdipCreateBitmapFromFile(png)
  t.truthy(Ptr2Int(bitmap) ~= 0, "GdipCreateBitmapFromFile")
  local hbm = GdipCreateHBITMAPFromBitmap(bitmap, 0)
  local w, h = GetSizeImage(hbm)
  t.eq(w, 6); t.eq(h, 4)
  DeleteObject(hbm)
  GdipDisposeImage(bitmap)
  t.eq(Ptr2Int(GdipLoadImageFromFile(home .. "\\写真 Foto.png")), 0, "a missing name")
end)

local orbix = require "orbix"
t.test("orbix opens the files io made, and io and GDI+ the files orbix made", function()
  local surface = orbix.IMG_Load(png)
  t.truthy(surface, "IMG_Load: " .. tostring(orbix.GetError()))
  local w, h = orbix.getSurfaceWidthHeight(surface)
  t.eq(w, 6); t.eq(h, 4)
  local saved = home .. "\\保存 Ausgabe ö.png"
  t.eq(orbix.IMG_SavePNG(surface, saved), 0)
  t.truthy(listing("保存*.png")["保存 Ausgabe ö.png"], "Dir lists orbix's file")
  t.eq(read(saved):sub(2, 4), "PNG")
  local image = GdipLoadImageFromFile(saved)
  t.truthy(Ptr2Int(image) ~= 0, "GDI+ loads orbix's file")
  GdipDisposeImage(image)
end)

-- Controls whose texts uiwatch reads back at the end (text_utf8.expect).
local static = CreateWindow("static", "静的 Statisch ö", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, hWin, 201, 0, 0)
local edit = CreateWindow("edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 40, 200, 24, hWin, 202, 0, 0)
local list = CreateWindow("listbox", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 70, 200, 60, hWin, 203, 0, 0)
local rich = CreateWindow("RICHEDIT50W", "", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE,
                          220, 10, 200, 60, hWin, 204, 0, 0)

t.test("window and control texts", function()
  t.eq(GetWindowText(static), "静的 Statisch ö")
  SetWindowText(hWin, "窓 Vorher ü")
  t.eq(GetWindowText(hWin), "窓 Vorher ü")
  t.eq(GetWindowTextLarge(hWin), "窓 Vorher ü")
  SetWindowText(hWin, "Window")
end)

t.test("SendMessageString in and out", function()
  t.eq(SendMessageString(edit, WM_SETTEXT, 0, "Bearbeiten ß"), 1)
  SendMessageString(edit, EM_REPLACESEL, 0, "編集 ")  -- at the caret, the start
  t.eq(GetWindowText(edit), "編集 Bearbeiten ß")
  local _, text = SendMessageString(edit, WM_GETTEXT, 100, nil)
  t.eq(text, "編集 Bearbeiten ß")
  SendMessageString(list, LB_ADDSTRING, 0, "項目 Eintrag ñ")
  local _, item = SendMessageString(list, LB_GETTEXT, 0, nil)
  t.eq(item, "項目 Eintrag ñ")
  t.eq(SendMessageString(list, LB_FINDSTRINGEXACT, -1, "項目 Eintrag ñ"), 0)
end)

t.test("rich edit: files by UTF-8 names, texts through RTF", function()
  SetWindowText(rich, "中文 Größe 日本語")
  local doc = home .. "\\文書 ä.rtf"
  t.eq(SaveRichEdit(rich, doc), false)  -- false: written
  -- Wine's rich edit starts the file with {\urtf under the UTF-8 code page.
  t.truthy(read(doc):match("^{\\u?rtf"), "an RTF file")
  local other = CreateWindow("RICHEDIT50W", "", WS_CHILD | ES_MULTILINE, 0, 0, 100, 40, hWin, 0, 0, 0)
  t.eq(LoadRichEdit(other, doc), true)
  t.eq(GetWindowText(other), "中文 Größe 日本語")
  StreamInRichEdit(other, "{\\rtf1 x}")
  StreamInRichEdit(other, StreamOutRichEdit(rich))
  t.eq(GetWindowText(other), "中文 Größe 日本語")
  DestroyWindow(other)
end)

t.test("sndPlaySound finds a file by a UTF-8 name as by an ASCII one", function()
  local function u32(n) return string.pack("<I4", n) end
  local function u16(n) return string.pack("<I2", n) end
  local samples = string.rep("\128", 80)
  local body = "WAVE" .. "fmt " .. u32(16) .. u16(1) .. u16(1) .. u32(8000) .. u32(8000) .. u16(1) .. u16(8)
    .. "data" .. u32(#samples) .. samples
  write(home .. "\\音 Klang ä.wav", "RIFF" .. u32(#body) .. body)
  write(home .. "\\plain.wav", "RIFF" .. u32(#body) .. body)
  local function play(name)
    local r = sndPlaySound(home .. "\\" .. name, SND_NODEFAULT)
    return r, GetLastError()
  end
  local ascii, ascii_error = play("plain.wav")
  local named, named_error = play("音 Klang ä.wav")
  local missing, missing_error = play("無 Klang ä.wav")
  -- Without a sound device (as under test) every file fails to play; the
  -- error then tells a found file from a missing one.
  t.eq(named, ascii)
  if ascii == 0 then
    t.eq(named_error, ascii_error)
    t.truthy(missing_error ~= ascii_error, "a missing file fails otherwise")
  end
  t.eq(missing, 0)
end)

-- The rest is asynchronous: programs started with ShellExecute, the SDL
-- window's title, and uiwatch reading the window texts. A timer drives it.
local steps = {}

steps[1] = function()
  -- A copy of the helper under a UTF-8 name, started in a UTF-8 folder with
  -- UTF-8 arguments, writes the clipboard's Unicode text into a file there.
  write(home .. "\\助手 Hilfe.exe", read(helper))
  t.eq(SetClipboardText("剪贴板 Zwischenablage ä", hWin) ~= nil, true)
  local r = ShellExecute(hWin, "open", home .. "\\助手 Hilfe.exe", '--clipboard-file "剪贴板 ü.txt"', sub, SW_HIDE)
  t.truthy(r > 32, "ShellExecute gave " .. r)
  return true
end

steps[2] = function()
  local text = read(sub .. "\\剪贴板 ü.txt")
  if not text then return false end
  t.test("the clipboard's text reaches a Unicode program; ShellExecute's names and folder", function()
    t.eq(text, "剪贴板 Zwischenablage ä")
  end)
  ShellExecute(hWin, "open", helper, '--clipboard-unicode "統一 Ünï 文字"', "", SW_HIDE)
  return true
end

steps[3] = function()
  if GetClipboardText() ~= "統一 Ünï 文字" then return false end
  t.test("a Unicode program's clipboard text comes back in UTF-8", function() end)
  return true
end

local window
steps[4] = function()
  t.eq(orbix.Init(orbix.INIT_VIDEO), 0)
  window = orbix.CreateWindowAndRenderer(160, 90, 0)
  orbix.SetWindowTitle(window, "題 Titel ß")
  return true
end

steps[5] = function()
  orbix.poll()
  if GetWindowText(GetForegroundWindow()) ~= "題 Titel ß" then return false end
  t.test("orbix's window title reads back through GetWindowText", function() end)
  orbix.DestroyWindow(window)
  -- uiwatch waits for this caption, reads every control and closes the
  -- window.
  SetWindowText(hWin, "窓 Fenster ü")
  return true
end

-- orbix.poll dispatches the thread's messages, timers included: a step is
-- not entered again while it runs.
local step, ticks, busy = 1, 0, false
dialog_callback = function(w, msg, wp)
  if msg == WM_TIMER and wp == 7 and not busy then
    ticks = ticks + 1
    busy = true
    if steps[step] and steps[step]() then step, ticks = step + 1, 0 end
    busy = false
    if ticks > 300 then  -- 30 s for one step, on a loaded machine
      KillTimer(hWin, 7)
      t.test("asynchronous steps", function() error("stuck in step " .. step) end)
      t.done()
    end
  elseif msg == WM_CLOSE and w == hWin then
    t.test("uiwatch closes the window after the last step", function() t.eq(step, #steps + 1) end)
    t.done()
  end
  return 0
end
SetTimer(hWin, 7, 100, nil)
