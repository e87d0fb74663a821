-- Inputs the binding fuzzer found harmful, each kept as a regression case.
local t = require "testlib"

local function bmp(path)
  local pixels = string.rep("\255\0\0\0\255\0\0\0", 2)
  local f = assert(io.open(path, "wb"))
  f:write("BM", string.pack("<I4I2I2I4", 14 + 40 + #pixels, 0, 0, 54),
    string.pack("<I4i4i4I2I2I4I4i4i4I4I4", 40, 2, 2, 1, 24, 0, #pixels, 2835, 2835, 0, 0), pixels)
  f:close()
end
SetCurrentDirectory(exepath())
bmp("r.bmp")

-- Found with GdipDeleteGraphics(<a handle of another kind>): GDI+ calls
-- through whatever address it is given.
t.test("GDI+ functions refuse objects of the wrong kind and freed ones", function()
  GdiplusStartup()
  local brush = CreateSolidBrush(0xFF)
  local menu = CreateMenu()
  local image = GdipLoadImageFromFile("r.bmp")
  local bitmap = GdipCreateBitmapFromFile("r.bmp")
  t.truthy(Ptr2Int(image) ~= 0 and Ptr2Int(bitmap) ~= 0, "images load")
  local dc = BeginPaint(hWin)
  local graphics = GdipCreateFromHDC(dc)
  t.truthy(Ptr2Int(graphics) ~= 0, "graphics made")
  -- Wrong kinds: each is ignored or gives the null handle.
  GdipDeleteGraphics(brush)
  GdipDeleteGraphics(image)
  GdipDisposeImage(graphics)
  GdipDisposeImage(menu)
  GdipDisposeImage(Int2Ptr(0x12345678))
  GdipDrawImageI(brush, image, 0, 0)
  GdipDrawImageI(graphics, menu, 0, 0)
  t.eq(Ptr2Int(GdipCreateHBITMAPFromBitmap(graphics, 0)), 0)
  t.eq(Ptr2Int(GdipCreateHBITMAPFromBitmap(brush, 0)), 0)
  -- The right kinds still work.
  GdipDrawImageI(graphics, image, 0, 0)
  local hbm = GdipCreateHBITMAPFromBitmap(bitmap, 0)
  t.truthy(Ptr2Int(hbm) ~= 0, "a bitmap converts")
  t.eq(select(1, GetSizeImage(hbm)), 2)
  DeleteObject(hbm)
  -- Freed objects: a second release and a later use do nothing.
  GdipDisposeImage(image)
  GdipDisposeImage(image)
  GdipDrawImageI(graphics, image, 0, 0)
  GdipDeleteGraphics(graphics)
  GdipDeleteGraphics(graphics)
  GdipDrawImageI(graphics, bitmap, 0, 0)
  EndPaint(hWin)
  -- After the session ends its objects are gone too; a second shutdown
  -- has no session left to end.
  GdiplusShutdown()
  GdiplusShutdown()
  GdipDisposeImage(bitmap)
  t.eq(Ptr2Int(GdipCreateHBITMAPFromBitmap(bitmap, 0)), 0)
  DeleteObject(brush)
  DestroyMenu(menu)
end)

t.test("a new GDI+ session works after a shutdown", function()
  GdiplusStartup()
  local bitmap = GdipCreateBitmapFromFile("r.bmp")
  local hbm = GdipCreateHBITMAPFromBitmap(bitmap, 0)
  t.truthy(Ptr2Int(hbm) ~= 0)
  DeleteObject(hbm)
  GdipDisposeImage(bitmap)
  GdiplusShutdown()
end)

-- LocalFree handed any address to the heap, and the format readers read any
-- address: a made-up, freed or too small block now fails instead.
t.test("LocalFree and the format readers take only live format records", function()
  local para = PARAFORMAT2({ dwMask = PFM_ALIGNMENT, wAlignment = PFA_CENTER })
  local char = CHARFORMAT({ dwMask = CFM_BOLD, szFaceName = "Courier New" })
  t.eq(PARAFORMAT2(para).wAlignment, PFA_CENTER)
  t.eq(CHARFORMAT(char).szFaceName, "Courier New")
  -- A 60-byte character record is too small to read as a 188-byte paragraph record.
  t.count(0, PARAFORMAT2(char))
  t.count(0, CHARFORMAT(Int2Ptr(Ptr2Int(hWin))))
  local fake = Int2Ptr(0x12345670)
  t.eq(Ptr2Int(LocalFree(fake)), 0x12345670, "a foreign address comes back: the call failed")
  t.eq(GetLastError(), 6, "ERROR_INVALID_HANDLE")
  t.eq(Ptr2Int(LocalFree(para)), 0, "a live record is freed")
  t.eq(Ptr2Int(LocalFree(para)), Ptr2Int(para), "freeing it again fails")
  t.count(0, PARAFORMAT2(para))
  t.eq(Ptr2Int(LocalFree(char)), 0)
  t.eq(Ptr2Int(LocalFree(nil)), 0)
end)

-- LoadImage read a made-up instance address as a module's headers.
t.test("LoadImage takes only a loaded module as its instance", function()
  t.eq(Ptr2Int(LoadImage(Int2Ptr(0x12345670), "#1", IMAGE_ICON, 32, 32, 0)), 0)
  t.eq(GetLastError(), 126, "ERROR_MOD_NOT_FOUND")
  t.eq(Ptr2Int(LoadImage(Int2Ptr(Ptr2Int(hInstance) + 16), "#1", IMAGE_ICON, 32, 32, 0)), 0,
    "an address inside the module is not the module")
  local icon = LoadImage(hInstance, "#1", IMAGE_ICON, 32, 32, 0)
  t.truthy(Ptr2Int(icon) ~= 0, "the program's own icon still loads")
end)

-- Found with ShellExecute(<time>, "fuzzverb", <string 32766 bytes>, ...):
-- the shell ended the process on file names from 997 characters on.
t.test("ShellExecute answers 'file not found' for file names too long to exist", function()
  for _, n in ipairs({ 997, 32766 }) do
    t.eq(ShellExecute(hWin, "open", string.rep("b", n), "", "", 1), 2, n .. " characters")
    t.eq(GetLastError(), 206, "ERROR_FILENAME_EXCED_RANGE")
  end
  -- A shorter unknown name still reaches the shell, which finds nothing.
  t.eq(ShellExecute(hWin, "open", string.rep("b", 960), "", "", 1), 2)
  t.eq(GetLastError(), 2)
end)

-- Found with Ellipse(<dc>, 0, 0, 2147483647, 25): Wine's rasteriser walked
-- the whole outline (minutes a call); Windows refuses such shapes.
t.test("curves beyond GDI's 27-bit coordinate space fail at once", function()
  local popup = CreateWindow("static", "curves", 0x80000000 | 0x00C00000 | 0x10000000, 100, 100, 120, 80, hWin, 0, 0, 0)
  local dc = BeginPaint(popup)
  local started = os.time()
  t.eq(Ellipse(dc, 0, 0, 2147483647, 25), false)
  t.eq(GetLastError(), 87)
  t.eq(Ellipse(dc, -(1 << 27), 0, 10, 25), false, "left beyond the range")
  t.eq(Arc(dc, 0, 0, 50, 25, 0, 0, 1 << 30, 5), false, "an arc end point")
  t.eq(RoundRect(dc, 0, 0, 50, 25, 1 << 28, 7), false, "a corner size")
  t.eq(RoundRect(dc, -100000000, 0, 100000000, 25, 7, 7), false, "an extent")
  t.truthy(os.time() - started <= 2, "no call took long")
  t.eq(Ellipse(dc, 0, 0, 50, 25), true, "shapes in range draw")
  t.eq(Arc(dc, 0, 0, 50, 25, 0, 0, 5, 5), true)
  t.eq(RoundRect(dc, 0, 0, 50, 25, 7, 7), true)
  EndPaint(popup)
  DestroyWindow(popup)
end)

t.test("DrawText into a handle that is not a device context draws nothing", function()
  -- Found as DrawText(<a pen>, <text with a tab>, ..., DT_EXPANDTABS): Wine
  -- read the missing font's metrics and divided by a tab width of zero.
  local DT_EXPANDTABS, DT_CALCRECT = 0x40, 0x400
  for _, handle in ipairs({ CreatePen(0, 1, 0), Int2Ptr(0x1234), Int2Ptr(0), hWin }) do
    for _, format in ipairs({ DT_EXPANDTABS, DT_EXPANDTABS | DT_CALCRECT }) do
      t.eq(DrawText(handle, "a\tb\tc", 0, 0, 50, 50, format), 0)
    end
  end
  t.eq(GetLastError(), 6)
  local popup = CreateWindow("static", "tabs", 0x80000000 | 0x00C00000 | 0x10000000, 100, 100, 120, 80, hWin, 0, 0, 0)
  local dc = BeginPaint(popup)
  t.truthy(DrawText(dc, "a\tb", 0, 0, 100, 40, DT_EXPANDTABS | DT_CALCRECT) > 0, "a device context still draws")
  EndPaint(popup)
  DestroyWindow(popup)
end)

t.test("sndPlaySound refuses names too long to name a file or an alias", function()
  -- Found as sndPlaySound(<32,769 bytes>, SND_ALIAS): the sound functions
  -- of Wine read through the name's length as an address from 32,767 bytes.
  for _, flags in ipairs({ 0, 1, 0x10000, 0x2 }) do
    t.eq(sndPlaySound(string.rep("x", 32767), flags), 0)
    t.eq(GetLastError(), 206)
  end
  t.eq(sndPlaySound(string.rep("x", 100000), 0), 0)
  t.eq(sndPlaySound(string.rep("x", 32766), 0x2), 0, "the longest name is looked up: no such sound")
  t.eq(sndPlaySound(string.rep("x", 40000) .. "", 0x4), 0, "memory images have their own check")
end)

t.test("message numbers above 0xFFFF are not sent", function()
  -- Found as SendMessagePtrInt(<-1>, 0x80000000, ...): Wine keeps that range
  -- for its own work, and 0x80000000 destroyed every top-level window it
  -- reached, the main window included.
  local popup = CreateWindow("static", "kept", 0x80000000 | 0x00C00000 | 0x10000000, 100, 100, 120, 80, hWin, 0, 0, 0)
  for _, msg in ipairs({ 0x80000000, 0x80000004, 0xFFFFFFFF, 0x10000 }) do
    t.eq(SendMessageInt(popup, msg, 0, 0), 0)
    t.eq(GetLastError(), 87)
    t.eq(SendMessage(popup, msg, 0, nil), 0)
    t.eq(SendMessagePtrInt(popup, msg, nil, 0), 0)
    t.eq(SendMessageString(popup, msg, 0, "x"), 0)
  end
  t.truthy(GetWindowRect(popup), "the window is still there")
  t.eq(select(2, SendMessageString(popup, 0x000D, 100, "")), "kept", "messages up to 0xFFFF are sent")
  DestroyWindow(popup)
end)

t.test("list and combo box searches from a start below -1 search the whole list", function()
  -- Found as SendMessageString(<list box>, LB_FINDSTRING, 1906408596789918667,
  -- ...): the start's low 32 bits are -1,469,449,269, and Wine read before its
  -- item array.
  local list = CreateWindow("listbox", "", 0x40000000 | 0x10000000, 0, 0, 100, 100, hWin, 0, 0, 0)
  local combo = CreateWindow("combobox", "", 0x40000000 | 0x10000000 | 0x3, 0, 0, 100, 100, hWin, 0, 0, 0)
  for _, item in ipairs({ "alpha", "beta", "gamma" }) do
    SendMessageString(list, 0x0180, 0, item)   -- LB_ADDSTRING
    SendMessageString(combo, 0x0143, 0, item)  -- CB_ADDSTRING
  end
  for _, start in ipairs({ 1906408596789918667, -2, -2147483648, math.mininteger }) do
    t.eq(SendMessageString(list, 0x018F, start, "gam"), 2, "LB_FINDSTRING")
    t.eq(SendMessageString(list, 0x01A2, start, "beta"), 1, "LB_FINDSTRINGEXACT")
    t.eq(SendMessageString(combo, 0x014C, start, "al"), 0, "CB_FINDSTRING")
    t.eq(SendMessageString(combo, 0x0158, start, "gamma"), 2, "CB_FINDSTRINGEXACT")
  end
  t.eq(SendMessageString(list, 0x018F, 2, "be"), 1, "an ordinary start: the search wraps after the last item")
  DestroyWindow(list)
  DestroyWindow(combo)
end)

t.test("deleting a menu item destroys its submenu after the item is gone", function()
  -- Found as DeleteMenu(<menu>, 0, 0x6A576590) on an item whose pop-up menu
  -- was another window's menu: Wine destroyed that window while it still
  -- held the parent menu, and stopped the process on its own assertion.
  local owner = CreateWindow("static", "owner", 0x80000000 | 0x00C00000, 100, 100, 120, 80, hWin, 0, 0, 0)
  local popup = CreatePopupMenu()
  AppendMenu(popup, 0, 7, "inner")
  AppendMenu(popup, 0, 9, "inner too")
  t.truthy(SetMenu(owner, popup))
  local bar = CreateMenu()
  t.truthy(AppendMenu(bar, 0x10, popup, "outer"))  -- MF_POPUP
  AppendMenu(bar, 0, 8, "kept")
  t.eq(DeleteMenu(bar, 7, 0), true, "by command, the search reaches into the submenu")
  t.eq(CheckMenuItem(popup, 7, 0), 0xFFFFFFFF, "the inner item is gone")
  t.eq(DeleteMenu(bar, 0, 0x6A576590), true, "by position, with the flags of the finding")
  t.eq(DestroyMenu(popup), false, "the submenu went with its item")
  t.eq(CheckMenuItem(bar, 8, 0), 0, "the other item is still there")
  t.eq(DeleteMenu(bar, 5, 0x400), false, "no such position")
  t.eq(DeleteMenu(bar, 0, 0x400), true)
  t.eq(DeleteMenu(bar, 0, 0x400), false, "the menu is empty")
  DestroyMenu(bar)
  DestroyWindow(owner)
end)

t.done()
