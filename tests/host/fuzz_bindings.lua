-- Argument fuzzing of every host binding: random argument lists (0 to 12
-- values of every Lua kind, buffer-limit strings, tables with raising
-- metamethods, handles of the wrong kind) under pcall. The only acceptable
-- outcomes are results or Lua errors; a crash or a hang fails the run, and a
-- sanity check after every batch catches corrupted state (the callback's
-- stack, the main window, the bindings).
--
-- Environment:
--   HFUZZ_SEED=N     replay a run (the seed is printed first)
--   HFUZZ_TUPLES=N   argument tuples per binding (default 12: the bounded run)
--   HFUZZ_ONLY=A,B   only these bindings
--   HFUZZ_PROBE_FROM=n  from round n on, check the state after every call,
--                    not only after every round (names the call that broke it)
--   HFUZZ_TRACE=1    print every call before it is made (find the one that
--                    crashed: replay its seed with the trace on)
--   HFUZZ_TRACE_FROM=n  the trace, from round n on
--
-- Arguments that are harmful by design are kept harmless, not fuzzed:
--   SetTimer          never gets a timer procedure (argument 4 is nil): a
--                     random address there is code the system would call.
--   SetWindowLong     never index GWLP_WNDPROC (-4) nor a non-negative index
--                     (a dialog's procedure slot, a control's own record
--                     address), nor the main window: the script asked to
--                     replace code or a control's private pointer.
--   DestroyWindow, EndDialog, SetWindowLong, SetMenu
--                     never the main window (the fuzzer lives in it); the
--                     victims are rebuilt when they are gone.
--   ShellExecute      the operation is always an unknown verb, which cannot
--                     start anything, so the file, parameters and folder
--                     are fuzzed without running programs. The file is
--                     never a folder: Wine opens a folder in a new explorer
--                     window whatever the verb (a long run left dozens).
--   SetCurrentDirectory  fuzzed freely, the test folder restored after each
--                     call.
--   sndPlaySound      fuzzed freely: the pool names no sound file, so no
--                     long sound can play.
--   SendMessage*      messages come from a list whose parameters are plain
--                     numbers, or pointers the fuzzer supplies (its format
--                     records); raw pointer messages (WM_CREATE, EM_GETSEL
--                     with random addresses ...) write where the script
--                     says, which no binding can check.
--   NMHDR, ENLINK, PARAFORMAT2, CHARFORMAT
--                     read any address they are given (trusted by design):
--                     only the null address, non-userdata values and
--                     records the fuzzer built itself are passed.
--   CreateWindow      never the MDICLIENT class, which reads its creation
--                     parameter as a record address.
--   SetWindowText, SendMessageString, CreateWindow
--                     text for a rich edit is cut to 1,000 bytes: Wine's
--                     lays long text out in ever more time and memory.
--   SendMessage*      no WM_PASTE to the combo box or the rich edit: the
--                     clipboard may hold the pool's 10 MB text, and Wine fits
--                     a paste into the narrow combo box a character at a
--                     time (40,000 characters: over a minute; 10 MB ended
--                     the process after minutes).
-- Modal UI (getInput, runbox, NewDialog's boxes, messageBox, the file, font,
-- colour and folder dialogs, SaveRichEdit's and the callbacks' error boxes)
-- is answered by uiwatch --serve; script dialogs are ended by the callback.
local t = require "testlib"
local fv = require "fuzzvalues"

local seed = fv.seed_from_env("HFUZZ_SEED")
local per_binding = math.tointeger(tonumber(os.getenv("HFUZZ_TUPLES") or "")) or 12
local trace = (os.getenv("HFUZZ_TRACE") or "") ~= ""
-- Tracing allocates, which moves the collector's steps; a fault that depends
-- on them shows again only if the run is the same up to the round it is in.
local trace_from = math.tointeger(tonumber(os.getenv("HFUZZ_TRACE_FROM") or ""))
local probe_each_from = math.tointeger(tonumber(os.getenv("HFUZZ_PROBE_FROM") or ""))
print(string.format("hfuzz seed=%d tuples=%d", seed, per_binding))
io.stdout:setvbuf("line")

local DRIVER = 0x4655          -- the driver's timer: an id the value pool never holds
local PROBE = 0x8001           -- application range: only the fuzzer sends it
local WM_TIMER, WM_SETFONT, WM_PASTE = 0x0113, 0x0030, 0x0302

-- The test folder: files the bindings create stay in it.
local home = exepath()
SetCurrentDirectory(home)
-- The path pool's names of folders (see the ShellExecute guard).
local folder_names = { [""] = true, ["."] = true, [".."] = true, [home] = true, [home:gsub("\\$", "")] = true }

-- A 2x2 24-bit bitmap for the image bindings.
do
  local pixels = string.rep("\255\0\0\0\255\0\0\0", 2)
  local header = "BM" .. string.pack("<I4I2I2I4", 14 + 40 + #pixels, 0, 0, 54) ..
      string.pack("<I4i4i4I2I2I4I4i4i4I4I4", 40, 2, 2, 1, 24, 0, #pixels, 2835, 2835, 0, 0)
  local f = assert(io.open("fz.bmp", "wb"))
  f:write(header, pixels)
  f:close()
end

-- ---------------------------------------------------------------- fixtures

local WS_CHILD, WS_VISIBLE, WS_POPUP, WS_CAPTION = 0x40000000, 0x10000000, 0x80000000, 0x00C00000
local fx = {}          -- name -> handle
local live = {}        -- every handle the pool offers
GdiplusStartup()

local function alive(w) return (GetWindowRect(w)) end

local function child(name, cls, style, id)
  if fx[name] and alive(fx[name]) then return end
  fx[name] = CreateWindow(cls, "victim " .. name, WS_CHILD | WS_VISIBLE | style, 5 + id % 4 * 60, 5 + id % 3 * 40,
    55, 35, hWin, id, 0, 0)
end

local function refresh()
  child("button", "button", 0x3, 101)           -- BS_AUTOCHECKBOX
  child("edit", "edit", 0x80, 102)              -- ES_AUTOHSCROLL
  child("rich", "RichEdit50W", 0x4, 103)        -- ES_MULTILINE
  child("list", "listbox", 0x1, 104)            -- LBS_NOTIFY
  child("combo", "combobox", 0x2, 105)          -- CBS_DROPDOWN
  child("static", "static", 0, 106)
  child("cal", "SysMonthCal32", 0, 107)
  child("time", "SysDateTimePick32", 0, 108)
  if not (fx.popup and alive(fx.popup)) then
    fx.popup = CreateWindow("static", "victim popup", WS_POPUP | WS_CAPTION, 900, 700, 120, 80, hWin, 0, 0, 0)
    fx.dc = nil
  end
  if not fx.freed_window then
    fx.freed_window = CreateWindow("static", "gone", WS_CHILD, 0, 0, 1, 1, hWin, 109, 0, 0)
    DestroyWindow(fx.freed_window)
  end
  if not fx.menu then
    fx.menu = CreateMenu()
    fx.popup_menu = CreatePopupMenu()
    AppendMenu(fx.popup_menu, 0, 201, "item")
    AppendMenu(fx.menu, 0x10, fx.popup_menu, "popup")  -- MF_POPUP
    fx.freed_menu = CreatePopupMenu()
    DestroyMenu(fx.freed_menu)
  end
  if not fx.brush then
    fx.brush = CreateSolidBrush(0x00FF00)
    fx.pen = CreatePen(0, 1, 0xFF)
    fx.font = CreateFont({ facename = "Arial", height = 12 })
    fx.sys_brush = GetSysColorBrush(5)
    fx.freed_brush = CreateSolidBrush(1)
    DeleteObject(fx.freed_brush)
    fx.bitmap = LoadImage(nil, "fz.bmp", 0, 0, 0, 0x10)  -- IMAGE_BITMAP, LR_LOADFROMFILE
  end
  if not fx.dc then
    if fx.graphics then GdipDeleteGraphics(fx.graphics) end
    fx.dc = BeginPaint(fx.popup)  -- held open: a live device context
    fx.freed_dc = BeginPaint(fx.static)
    EndPaint(fx.static)
    fx.graphics = GdipCreateFromHDC(fx.dc)
  end
  if not fx.image then
    fx.image = GdipLoadImageFromFile("fz.bmp")
    fx.bitmap_plus = GdipCreateBitmapFromFile("fz.bmp")
    fx.freed_image = GdipLoadImageFromFile("fz.bmp")
    GdipDisposeImage(fx.freed_image)
  end
  if not fx.para then
    fx.para = PARAFORMAT2({ dwMask = 8, wAlignment = 3 })
    fx.char = CHARFORMAT({ dwMask = 1, dwEffects = 1, szFaceName = "Arial" })
  end
  live = {}
  for _, k in ipairs { "button", "edit", "rich", "list", "combo", "static", "cal", "time", "popup", "freed_window",
    "menu", "popup_menu", "freed_menu", "brush", "pen", "font", "sys_brush", "freed_brush", "bitmap", "dc",
    "freed_dc", "graphics", "image", "bitmap_plus", "freed_image", "para", "char" } do
    live[#live + 1] = fx[k]
  end
  for _, v in ipairs { hWin, hInstance, Int2Ptr(0), Int2Ptr(1), Int2Ptr(-1), Int2Ptr(0x12345678) } do
    live[#live + 1] = v
  end
end
refresh()

-- ------------------------------------------------------------- the values

local g
local function pick(list) return list[g.rng:below(#list) + 1] end

local windows = function() return pick { fx.button, fx.edit, fx.rich, fx.list, fx.combo, fx.static, fx.cal,
  fx.time, fx.popup, fx.freed_window, hWin, fx.menu, fx.brush, Int2Ptr(0), nil } end

-- Messages whose parameters are plain numbers (any value is harmless).
local plain_messages = {
  0x0000, 0x000B, 0x000E, 0x0010, 0x001F, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, -- NULL, SETREDRAW, GETTEXTLENGTH, CLOSE, CANCELMODE, CUT..UNDO
  0x00B1, 0x00B6, 0x00B7, 0x00B9, 0x00BA, 0x00C1, 0x00C5, 0x00C7, 0x00CF, 0x0445, -- EM_SETSEL, LINESCROLL, SCROLLCARET, SETMODIFY, GETLINECOUNT, LINELENGTH, LIMITTEXT, UNDO, SETREADONLY, EM_SETEVENTMASK
  0x00F0, 0x00F1, 0x00F5,                                   -- BM_GETCHECK, SETCHECK, CLICK
  0x0182, 0x0184, 0x0186, 0x0188, 0x018A, 0x018B,          -- LB_DELETESTRING, RESETCONTENT, SETCURSEL, GETCURSEL, GETTEXTLEN, GETCOUNT
  0x0144, 0x0146, 0x0147, 0x0149, 0x014B, 0x014E, 0x014F,  -- CB_DELETESTRING, GETCOUNT, GETCURSEL, GETLBTEXTLEN, RESETCONTENT, SETCURSEL, SHOWDROPDOWN
  PROBE, 0xC123, 0xFFFFFFFF, 0x80000000, 0x7FFF,
}
-- Messages that carry a text buffer (SendMessageString gives its own).
local text_messages = { 0x000C, 0x000D, 0x0180, 0x0189, 0x018F, 0x01A2, 0x0143, 0x0148, 0x014C, 0x00C4, 0x00C2, 0x043E }
-- WM_SETTEXT, WM_GETTEXT, LB_ADDSTRING, LB_GETTEXT, LB_FINDSTRING, LB_FINDSTRINGEXACT, CB_ADDSTRING,
-- CB_GETLBTEXT, CB_FINDSTRING, EM_GETLINE, EM_REPLACESEL, EM_GETSELTEXT
local record_messages = { [0x0447] = "para", [0x043D] = "para", [0x0444] = "char", [0x043A] = "char" }
-- EM_SETPARAFORMAT, EM_GETPARAFORMAT, EM_SETCHARFORMAT, EM_GETCHARFORMAT
local pointer_free = {}
for _, m in ipairs(plain_messages) do pointer_free[m] = true end

local class_names = { "button", "edit", "static", "listbox", "combobox", "RichEdit50W", "SysMonthCal32",
  "SysDateTimePick32", "#32770", "scrollbar", "no such class" }

local big = {}
for _, n in ipairs { 32766, 32767, 32768, 32769, 9999999, 10000000, 10000001 } do
  big[#big + 1] = string.rep("b", n)
end
big[#big + 1] = string.rep("c", 5000) .. "\0" .. string.rep("d", 40000)

g = fv.new {
  seed = seed,
  lengths = { 33, 32766, 32767, 32768, 32769 },
  handles = function() return live end,
  extras = { Int2Ptr(0) },
  kinds = {
    w = windows,
    m = function() return pick { fx.menu, fx.popup_menu, fx.freed_menu, hWin, fx.brush, Int2Ptr(0) } end,
    o = function() return pick { fx.brush, fx.pen, fx.font, fx.sys_brush, fx.freed_brush, fx.bitmap, fx.menu,
      fx.button, Int2Ptr(0), Int2Ptr(0x12345678) } end,
    d = function() return pick { fx.dc, fx.freed_dc, fx.dc, hWin, fx.brush, Int2Ptr(0) } end,
    h = function() return pick(live) end,
    cls = function() return pick(class_names) end,
    msg = function() return pick(plain_messages) end,
    tmsg = function() return pick(text_messages) end,
    path = function() return pick { "fz.rtf", "fz.bmp", "", "no\\such\\folder\\x.rtf", string.rep("p", 259),
      string.rep("p", 260), "fz\0.rtf", "*", "*.*", "?", ".", "..", home } end,
    face = function() return pick { "Arial", string.rep("f", 31), string.rep("f", 32), string.rep("f", 33), "" } end,
    big = function() return pick(big) end,
    text = function() if g.rng:chance(0.2) then return pick(big) end return g:string() end,
    f = function() return pick { function() end, function() error("init failed on purpose") end,
      function() EndDialog(dialog_hwin, 0) end } end,
    date = function() return pick { { year = 2024, month = 2, day = 29 }, { year = 1e300 }, {},
      { year = -1, month = 70000, day = 0, hour = 99, min = -5, sec = 1 << 40, wday = 0 },
      { year = 2020, month = 1, day = 1, hour = 1, min = 1, sec = 1, wday = 1 }, g:table() } end,
    font = function() return pick { { facename = "Arial", height = -16, bold = true },
      { facename = string.rep("f", 40), height = 1 << 40 }, { height = 3 }, { facename = "x" }, g:table() } end,
    accel = function() return pick { {}, { { fVirt = 0x9, key = 0x53, cmd = 1001 } },
      { { fVirt = 0x101, key = 0x10041, cmd = 70000 }, 5 }, g:table() } end,
    pf = function() return pick { { dwMask = 8, wAlignment = 3 }, { dwMask = -1, dxStartIndent = 1 << 40 },
      fx.para, fx.char, Int2Ptr(0), g:table() } end,
  },
}

-- ------------------------------------------------------------ the bindings

-- Signature per binding: the kinds of a well-formed call. Half of the tuples
-- follow it (mutated at random), half are any 0 to 12 values.
local S = {
  CreateWindow = { "cls", "text", "i", "n", "n", "n", "n", "w", "i", "i", "i" },
  DestroyWindow = { "w" }, InvalidateRect = { "w" }, MoveWindow = { "w", "i", "i", "i", "i", "b" },
  SetWindowPos = { "w", "w", "i", "i", "i", "i", "i" }, GetWindowRect = { "w" }, GetSizeImage = { "o" },
  GetCursorPos = {}, GetCursorPosClient = { "w" }, ScreenToClient = { "w", "i", "i" },
  SetWindowText = { "w", "text" }, GetWindowText = { "w" }, GetWindowTextLarge = { "w" },
  ShowWindow = { "w", "i" }, GetCurrentDirectory = {}, SetCurrentDirectory = { "path" },
  IsDlgButtonChecked = { "w", "i" }, CheckDlgButton = { "w", "i", "i" }, ChildWindowFromPoint = { "w", "i", "i" },
  RealChildWindowFromPoint = { "w", "i", "i" }, WindowFromPoint = { "i", "i" },
  SaveDialog = { "path", "s", "s" }, OpenDialog = { "path", "s", "s" }, messageBox = { "w", "text", "s", "n" },
  SetTimer = { "w", "i", "n", "h" }, KillTimer = { "w", "n" }, LoadImage = { "h", "path", "i", "i", "i", "i" },
  DeleteObject = { "o" }, SendMessage = { "w", "msg", "i", "h" }, SendMessageInt = { "w", "msg", "i", "i" },
  SendMessagePtrInt = { "w", "msg", "h", "i" }, SendMessageString = { "w", "tmsg", "i", "text" },
  CreateMenu = {}, GetLastError = {}, CreatePopupMenu = {}, AppendMenu = { "m", "i", "any", "s" },
  SetMenu = { "w", "m" }, GetMenu = { "w" }, DestroyMenu = { "m" }, DeleteMenu = { "m", "i", "i" },
  DrawMenuBar = { "w" }, CheckMenuItem = { "m", "i", "i" }, EnableMenuItem = { "m", "i", "i" },
  SetCapture = { "w" }, ReleaseCapture = {}, SetFocus = { "w" }, GetFocus = {}, GetForegroundWindow = {},
  ChooseFont = { "font" }, ChooseColor = { "i" }, SHBrowseForFolder = { "text" },
  CreateAcceleratorTable = { "accel" }, DestroyAcceleratorTable = {}, CreateFont = { "font" },
  EnableWindow = { "w", "b" }, RGB = { "i", "i", "i" }, GetRGB = { "i" }, SetTextColor = { "d", "i" },
  SetBkColor = { "d", "i" }, Int2Ptr = { "i" }, Ptr2Int = { "h" }, GetSysColor = { "i" },
  sndPlaySound = { "path", "i" }, EndDialog = { "w", "i" }, GetCommandLine = {}, Command = { "i" },
  Dir = { "path", "n" }, ShellExecute = { "w", "s", "path", "s", "path", "n" }, NMHDR = { "pf" }, ENLINK = { "pf" },
  RichEdit_GetTextRange = { "w", "i", "i" }, GetSel = { "w" }, MonthCal_GetCurSel = { "w" },
  MonthCal_SetCurSel = { "w", "date" }, DateTime_GetSystemtime = { "w" }, DateTime_SetSystemtime = { "w", "date" },
  BeginPaint = { "w" }, EndPaint = { "w" }, LineTo = { "d", "i", "i" }, CreatePen = { "i", "i", "i" },
  CreateSolidBrush = { "i" }, GetSysColorBrush = { "i" }, SelectObject = { "d", "o" }, SetBkMode = { "d", "i" },
  DrawText = { "d", "text", "i", "i", "i", "i", "i" }, MoveToEx = { "d", "i", "i" },
  Rectangle = { "d", "i", "i", "i", "i" }, FillRect = { "d", "i", "i", "i", "i", "o" },
  RoundRect = { "d", "i", "i", "i", "i", "i", "i" }, Ellipse = { "d", "i", "i", "i", "i" },
  Arc = { "d", "i", "i", "i", "i", "i", "i", "i", "i" }, SetPixel = { "d", "i", "i", "i" }, GetPixel = { "d", "i", "i" },
  exepath = {}, LocalFree = { "h" }, PARAFORMAT2 = { "pf" }, CHARFORMAT = { "pf" },
  LoadRichEdit = { "w", "path" }, SaveRichEdit = { "w", "path" }, StreamOutRichEdit = { "w" },
  StreamInRichEdit = { "w", "big" }, GdipCreateBitmapFromFile = { "path" }, GdipCreateHBITMAPFromBitmap = { "h", "i" },
  GdipDisposeImage = { "h" }, GdiplusStartup = {}, GdiplusShutdown = {}, GdipCreateFromHDC = { "d" },
  GdipDrawImageI = { "h", "h", "i", "i" }, GdipDeleteGraphics = { "h" }, GdipLoadImageFromFile = { "path" },
  GetClientRect = { "w" }, GetWindowLong = { "w", "i" }, SetWindowLong = { "w", "i", "i" },
  SetClipboardText = { "text", "w" }, GetClipboardText = {}, getInput = { "text", "text", "s" }, runbox = {},
  NewDialog = { "f" },
}

local function is_main(v) return v == hWin end
local own_records = {}

-- Rewrites the arguments that would be harmful by design (see the top).
local policy = {
  SetTimer = function(a) a[4] = nil end,
  DestroyWindow = function(a) if is_main(a[1]) then a[1] = fx.static end end,
  EndDialog = function(a) if is_main(a[1]) then a[1] = fx.popup end end,
  SetMenu = function(a) if is_main(a[1]) then a[1] = fx.popup end end,
  SetWindowLong = function(a)
    if is_main(a[1]) then a[1] = fx.static end
    local i = math.tointeger(tonumber(a[2]) or 0.5)
    if i then
      i = i & 0xFFFFFFFF
      if i >= 0x80000000 then i = i - (1 << 32) end
      -- GWLP_USERDATA instead of the procedure or of any of the class's
      -- extra bytes: a control keeps its private record's address there
      -- (SetWindowLong(combo, 0, 73) broke the combo box's painting; Wine
      -- then repaints it forever, swallowing the fault each time).
      if i == -4 or i >= 0 then a[2] = -21 end
    end
  end,
  KillTimer = function(a)
    if is_main(a[1]) and tonumber(a[2]) and math.abs(tonumber(a[2]) - DRIVER) < 1 then a[2] = 7 end
  end,
  ShellExecute = function(a)
    if type(a[2]) == "string" or type(a[2]) == "number" then a[2] = "fuzzverb" end
    if type(a[3]) == "string" and folder_names[a[3]] then a[3] = "no such file" end
  end,
}
-- Wine's rich edit lays long text out in time and memory that grow faster
-- than the text: 10,000 characters in the narrow fixture take 10 s and
-- 250 MB, 30,000 more than 1.4 GB, and the fuzzer's 10 MB strings ran the
-- process out of memory. Text for a rich edit is cut to 1,000 bytes.
local kRichText = 1000
local function is_rich(w, class)
  return (w ~= nil and w == fx.rich)
    or (type(class) == "string" and class:upper():find("RICHEDIT", 1, true) ~= nil)
end
local function cut_rich_text(a, i)
  if type(a[i]) == "string" and #a[i] > kRichText then a[i] = a[i]:sub(1, kRichText) end
end
policy.SetWindowText = function(a) if is_rich(a[1]) then cut_rich_text(a, 2) end end
policy.CreateWindow = function(a)
  if type(a[1]) == "string" and a[1]:upper():find("MDICLIENT", 1, true) then a[1] = "static" end
  if is_rich(nil, a[1]) then cut_rich_text(a, 2) end
end

local function message_policy(ptr_pos)
  return function(a)
    local m = math.tointeger(tonumber(a[2]) or 0.5)
    if not m then return end
    m = m & 0xFFFFFFFF
    if m == WM_PASTE and (a[1] == fx.combo or a[1] == fx.rich) then
      a[2] = 0  -- see the header: Wine lays a long paste out there for minutes
      return
    end
    local kind = record_messages[m]
    if kind then
      if ptr_pos == 4 then a[4] = fx[kind] else a[2] = 0 end
    elseif not pointer_free[m] then
      a[2] = 0  -- WM_NULL: the fuzzer cannot tell what this message reads
    end
  end
end
policy.SendMessage = message_policy(4)
policy.SendMessageInt = message_policy(0)
policy.SendMessagePtrInt = message_policy(0)
policy.SendMessageString = function(a)
  if is_rich(a[1]) then cut_rich_text(a, 4) end
  local m = math.tointeger(tonumber(a[2]) or 0.5)
  if m and m & 0xFFFFFFFF == WM_PASTE and (a[1] == fx.combo or a[1] == fx.rich) then a[2] = 0x000D end
  if m and not pointer_free[m & 0xFFFFFFFF] then
    local ok = false
    for _, tm in ipairs(text_messages) do if tm == m & 0xFFFFFFFF then ok = true end end
    if not ok then a[2] = 0x000D end
  end
end
-- The record readers read what they are given: only safe addresses.
local function reader_policy(own)
  return function(a)
    local v = a[1]
    if type(v) == "userdata" then
      local ok = own(v) or Ptr2Int(v) == 0
      if not ok or getmetatable(v) ~= nil then a[1] = Int2Ptr(0) end
    end
  end
end
policy.NMHDR = reader_policy(function(v) return v == fx.para or v == fx.char or own_records[Ptr2Int(v)] end)
policy.ENLINK = policy.NMHDR
policy.CHARFORMAT = policy.NMHDR
policy.PARAFORMAT2 = reader_policy(function(v) return v == fx.para or own_records[Ptr2Int(v)] == "para" end)

-- Releases what a call created, so a long run does not pile up objects.
local release = {
  CreateWindow = function(r) if r and Ptr2Int(r) ~= 0 then DestroyWindow(r) end end,
  CreateMenu = function(r) DestroyMenu(r) end,
  CreatePopupMenu = function(r) DestroyMenu(r) end,
  CreatePen = function(r) DeleteObject(r) end,
  CreateSolidBrush = function(r) DeleteObject(r) end,
  CreateFont = function(r) if r then DeleteObject(r) end end,
  LoadImage = function(r) DeleteObject(r) end,
  GdipCreateHBITMAPFromBitmap = function(r) DeleteObject(r) end,
  GdipLoadImageFromFile = function(r) GdipDisposeImage(r) end,
  GdipCreateBitmapFromFile = function(r) GdipDisposeImage(r) end,
  GdipCreateFromHDC = function(r) GdipDeleteGraphics(r) end,
  PARAFORMAT2 = function(r) if type(r) == "userdata" and r ~= fx.para then LocalFree(r) end end,
  CHARFORMAT = function(r) if type(r) == "userdata" and r ~= fx.char then LocalFree(r) end end,
  SetCapture = function() ReleaseCapture() end,
  SetCurrentDirectory = function() SetCurrentDirectory(home) end,
  CreateAcceleratorTable = function() DestroyAcceleratorTable() end,
}
release.SetTimer = nil

-- Bindings that free objects of the fixture; windows are checked for life
-- by the fixture itself (messages such as WM_CLOSE destroy them too).
local frees = {
  DestroyMenu = { "menu", "popup_menu" },
  DeleteObject = { "brush", "pen", "font", "bitmap" },
  GdipDisposeImage = { "image", "bitmap_plus" },
  GdipDeleteGraphics = { "graphics" },
  LocalFree = { "para", "char" },
  EndPaint = { "dc" },
}

local function forget_destroyed(name, args)
  local keys = frees[name]
  if keys and args.n >= 1 then
    for _, k in ipairs(keys) do
      if fx[k] == args[1] or (name == "EndPaint" and args[1] == fx.popup) then fx[k] = nil end
    end
  end
  if not (fx.menu and fx.popup_menu) then fx.menu = nil end
  if not (fx.brush and fx.pen and fx.font and fx.bitmap) then fx.brush = nil end
  if not (fx.image and fx.bitmap_plus) then fx.image = nil end
  if not (fx.para and fx.char) then fx.para = nil end
  if not fx.graphics then fx.dc = nil end
  if name == "GdiplusShutdown" then
    -- Objects of a finished session are gone: the next one builds new ones.
    GdiplusStartup()
    fx.image, fx.dc = nil, nil
  end
end

-- ------------------------------------------------------------------ driver

local names = {}
for name in pairs(S) do names[#names + 1] = name end
table.sort(names)
local only = os.getenv("HFUZZ_ONLY")
if only and only ~= "" then
  local keep = {}
  for n in only:gmatch("[^,]+") do keep[n] = true end
  local kept = {}
  for _, n in ipairs(names) do if keep[n] then kept[#kept + 1] = n end end
  names = kept
end

local counts, outcomes, spent = {}, { ok = 0, err = 0 }, {}
local calls = 0
local rounds_done = 0
local start_clock = os.clock()

local function temporaries_of_sender()
  local n = 0
  while debug.getlocal(3, n + 1) do n = n + 1 end
  return n
end
local probe_seen

local function sanity(context)
  probe_seen = nil
  if trace then print("probe send") end
  SendMessageInt(hWin, PROBE, 1, 0)
  if trace then print("probe back") end
  if probe_seen ~= 4 then
    print("FAULT: callback stack after " .. context .. ": " .. tostring(probe_seen))
    os.exit(3)
  end
  if not alive(hWin) then print("FAULT: main window gone after " .. context) os.exit(3) end
  if type(CreateWindow) ~= "function" or type(dialog_callback) ~= "function" then
    print("FAULT: globals lost after " .. context) os.exit(3)
  end
end

-- Like fuzzvalues' description, with light userdata named after the
-- fixture object they are (or their address).
local function describe_args(args)
  local out = {}
  for i = 1, args.n do
    local v = args[i]
    if type(v) == "userdata" and getmetatable(v) == nil then
      local label = string.format("0x%x", Ptr2Int(v))
      for k, h in pairs(fx) do if h == v then label = k end end
      if v == hWin then label = "hWin" elseif v == hInstance then label = "hInstance" end
      out[i] = "<" .. label .. ">"
    else
      out[i] = fv.describe(v)
    end
  end
  return table.concat(out, ", ")
end

local function one_call(name)
  if trace then print("next " .. name) end
  local args
  if g.rng:chance(0.5) then args = g:typed_args(S[name], 0.2) else args = g:random_args() end
  local p = policy[name]
  if p then p(args) end
  calls = calls + 1
  if trace then print(string.format("call %d %s(%s)", calls, name, describe_args(args))) end
  local f = _ENV[name]
  local t0 = os.clock()
  local res = table.pack(pcall(f, table.unpack(args, 1, args.n)))
  spent[name] = (spent[name] or 0) + os.clock() - t0
  if trace then print(string.format("back %d %s", calls, tostring(res[1]))) end
  counts[name] = (counts[name] or 0) + 1
  if res[1] then
    outcomes.ok = outcomes.ok + 1
    local r = release[name]
    if r then pcall(r, res[2]) end
    if (name == "PARAFORMAT2" or name == "CHARFORMAT") and type(res[2]) == "userdata" then
      own_records[Ptr2Int(res[2])] = nil  -- released above
    end
  else
    outcomes.err = outcomes.err + 1
    if type(res[2]) ~= "string" and type(res[2]) ~= "number" then
      -- Every error a binding raises is a message; anything else is from a
      -- function of the pool (error("...") raises strings too).
      print("note: non-text error from " .. name .. ": " .. tostring(res[2]))
    end
    if name == "SetCurrentDirectory" then SetCurrentDirectory(home) end
  end
  forget_destroyed(name, args)
end

local finished = false
dismissed = 0
local busy = false
local round = 0

local function finish()
  finished = true
  KillTimer(hWin, DRIVER)
  local elapsed = os.clock() - start_clock
  local lo, hi = math.huge, 0
  for _, n in ipairs(names) do
    local c = counts[n] or 0
    lo, hi = math.min(lo, c), math.max(hi, c)
  end
  print(string.format("hfuzz done: seed=%d bindings=%d calls=%d results=%d errors=%d tuples per binding %d..%d in %.1fs",
    seed, #names, calls, outcomes.ok, outcomes.err, lo, hi, elapsed))
  print(string.format("hfuzz modal boxes ended from the callback: %d", dismissed))
  local slow = {}
  for _, n in ipairs(names) do slow[#slow + 1] = n end
  table.sort(slow, function(a, b) return (spent[a] or 0) > (spent[b] or 0) end)
  for i = 1, math.min(12, #slow) do
    print(string.format("hfuzz time %-26s %8.2fs for %d tuples", slow[i], spent[slow[i]] or 0, counts[slow[i]] or 0))
  end
  t.test("every binding was called with its share of argument tuples", function()
    t.eq(#names > 0, true)
    t.eq(lo, per_binding)
  end)
  t.test("the state is intact after the run", function()
    sanity("the run")
    t.truthy(collectgarbage("count") < 400 * 1024, "Lua heap below 400 MiB")
  end)
  t.done()
end

-- A binding's modal box or dialog is open (the driver's timer still ticks
-- in its loop): press its buttons from here, which is much faster than
-- waiting for uiwatch. Whatever is not ended this way, uiwatch answers.
-- One button a tick, Cancel first: a button with a meaning of its own (OK
-- of a file dialog) is pressed only on a box that Cancel did not end.
local IDS = { 2, 1, 7, 3, 5, 4, 11, 10 }  -- Cancel, OK, No, Abort, Ignore, Retry, Continue, Try again
local dismissing, last_box, tries = false, nil, 0
function dismiss()
  if dismissing then return end
  dismissing = true
  local box = GetForegroundWindow()
  if Ptr2Int(box) ~= 0 and box ~= hWin then
    if box ~= last_box then last_box, tries = box, 0 dismissed = dismissed + 1 end
    tries = tries + 1
    if tries <= #IDS then SendMessageInt(box, 0x0111, IDS[tries], 0) end
  end
  dismissing = false
end

local run_rounds
local function step()
  if busy or finished then return end
  busy = true
  local ok, err = xpcall(run_rounds, debug.traceback)
  busy = false
  if not ok then
    print("FAULT: the driver itself failed: " .. tostring(err))
    os.exit(4)
  end
  if round >= per_binding then finish() end
end

function run_rounds()
  local stop = os.clock() + 0.05
  while os.clock() < stop do
    if round >= per_binding then break end
    round = round + 1
    if trace_from and round >= trace_from then trace = true end
    if trace then print("round " .. round) end
    -- A fresh order every round mixes the bindings' effects on each other.
    local order = {}
    for i, n in ipairs(names) do order[i] = n end
    for i = #order, 2, -1 do
      local j = g.rng:below(i) + 1
      order[i], order[j] = order[j], order[i]
    end
    for _, name in ipairs(order) do
      one_call(name)
      if probe_each_from and round >= probe_each_from then sanity(name .. " in round " .. round) end
      refresh()
    end
    if trace then print("sanity " .. round) end
    sanity("round " .. round)
    if round % 50 == 0 then
      print(string.format("round %d calls %d heap %.0f KiB %.1fs", round, calls, collectgarbage("count"),
        os.clock() - start_clock))
    end
  end
end

local ended_dialogs = {}
dialog_callback = function(w, msg, wp)
  if w ~= hWin then
    -- A script dialog opened by a fuzzed NewDialog: the host gives it no
    -- closing behaviour, so the fuzzer ends it at its first message, once:
    -- ending it hides it, which sends it more messages, and ending it again
    -- from each of those re-enters without end.
    local key = Ptr2Int(w)
    if msg ~= WM_SETFONT and not ended_dialogs[key] then
      ended_dialogs[key] = true
      EndDialog(w, 0)
    end
    return 0
  end
  if msg == PROBE then
    if trace then print("probe in") end
    probe_seen = temporaries_of_sender()
    return 0
  end
  if msg == WM_TIMER and wp == DRIVER then
    if busy then dismiss() else step() end
  end
  return 0
end

SetTimer(hWin, DRIVER, 10)
