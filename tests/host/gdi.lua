-- Painting with GDI and GDI+ in the main window's WM_PAINT, reading the
-- pixels back; colours, fonts and image files.
local t = require "testlib"
local images = require "gdi_images"

local here = debug.getinfo(1, "S").source:match("^@(.*[\\/])") or ""
local function addr(h) return Ptr2Int(h) end

local RED, GREEN, BLUE = RGB(255, 0, 0), RGB(0, 160, 0), RGB(0, 0, 255)
local PNG_COLOUR = RGB(200, 40, 90)

t.test("RGB cuts each part to its low byte", function()
  t.eq(RGB(255, 128, 0), 33023)
  t.eq(RGB(256, -1, 0), 65280)
  t.eq(RGB(0, 0, 255), 0xFF0000)
  t.eq(RGB(-1, -1, -1), 0xFFFFFF)
  t.raises(function() RGB(1, 2) end, "bad argument #3")
end)

t.test("GetRGB splits the low three bytes", function()
  local r, g, b = GetRGB(0x123456)
  t.eq(r, 0x56); t.eq(g, 0x34); t.eq(b, 0x12)
  t.eq(select("#", GetRGB(0xFF123456)), 3)
  r, g, b = GetRGB(CLR_INVALID)
  t.eq(r + g + b, 3 * 255)
end)

t.test("colour results are unsigned 32-bit", function()
  t.eq(CLR_INVALID, 4294967295)
  local c = GetSysColor(COLOR_WINDOW)
  t.truthy(c >= 0 and c <= 0xFFFFFF, "system colour " .. c)
end)

t.test("pens, brushes and DeleteObject", function()
  local pen, brush = CreatePen(PS_SOLID, 3, BLUE), CreateSolidBrush(GREEN)
  t.truthy(addr(pen) ~= 0 and addr(brush) ~= 0)
  t.truthy(addr(GetSysColorBrush(COLOR_3DFACE)) ~= 0)
  t.eq(DeleteObject(pen), true)
  t.eq(DeleteObject(brush), true)
  t.eq(DeleteObject(Int2Ptr(0)), false)
  t.eq(DeleteObject("not a handle"), false)
end)

t.test("CreateFont takes exactly one table", function()
  t.eq(select("#", CreateFont()), 0)
  t.eq(select("#", CreateFont({ facename = "Arial", height = 12 }, 1)), 0)
  t.raises(function() CreateFont({ height = 12 }) end, "bad argument #2")
  t.raises(function() CreateFont({ facename = "Arial" }) end, "bad argument #3")
  local f = CreateFont({ facename = "Courier New", height = 20 })
  t.eq(type(f), "userdata")
  t.truthy(addr(f) ~= 0)
  t.eq(DeleteObject(f), true)
end)

-- Files are written beside the program; GDI+ and LoadImage read them back.
local bmp_path = here .. "gdi_640x480.bmp"
images.bmp(bmp_path, 640, 480, function(x, y) return x % 256, y % 256, 77 end)
local png_path = here .. "gdi_square.png"
images.png(png_path, 24, 16, function() return GetRGB(PNG_COLOUR) end)
-- "é" in the process code page: one byte in the ANSI one, two in UTF-8.
local latin_path = here .. (t.utf8_code_page() and "gdi_caf\xc3\xa9.png" or "gdi_caf\xe9.png")
images.png(latin_path, 3, 2, function() return 1, 2, 3 end)

t.test("LoadImage from a file and GetSizeImage", function()
  local bmp = LoadImage(nil, bmp_path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)
  t.truthy(addr(bmp) ~= 0, "bitmap loaded")
  local w, h = GetSizeImage(bmp)
  t.eq(w, 640); t.eq(h, 480)
  t.eq(DeleteObject(bmp), true)
  t.eq(addr(LoadImage(nil, here .. "missing.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)), 0)
end)

t.test("GetSizeImage is 0, 0 for anything but a bitmap", function()
  local brush = CreateSolidBrush(RGB(9, 8, 7))
  local w, h = GetSizeImage(brush)
  t.eq(w, 0); t.eq(h, 0)
  DeleteObject(brush)
  w, h = GetSizeImage(Int2Ptr(0))
  t.eq(w, 0); t.eq(h, 0)
end)

GdiplusStartup()

local png_image
t.test("GDI+ loads images; failures give address 0", function()
  png_image = GdipLoadImageFromFile(png_path)
  t.truthy(addr(png_image) ~= 0, "PNG loaded")
  t.eq(addr(GdipLoadImageFromFile(here .. "missing.png")), 0)
  t.eq(addr(GdipLoadImageFromFile("")), 0)
  t.eq(addr(GdipCreateBitmapFromFile(here .. "missing.png")), 0)
  t.raises(function() GdipLoadImageFromFile() end, "bad argument #1")
  -- A name beyond ASCII reaches the file system as the same characters.
  local latin = GdipLoadImageFromFile(latin_path)
  t.truthy(addr(latin) ~= 0, "name with a Latin-1 byte")
  GdipDisposeImage(latin)
end)

t.test("GdipCreateHBITMAPFromBitmap gives a GDI bitmap of the image's size", function()
  local bitmap = GdipCreateBitmapFromFile(png_path)
  t.truthy(addr(bitmap) ~= 0)
  local hbm = GdipCreateHBITMAPFromBitmap(bitmap, 0xFFFFFFFF)
  t.truthy(addr(hbm) ~= 0)
  local w, h = GetSizeImage(hbm)
  t.eq(w, 24); t.eq(h, 16)
  t.eq(DeleteObject(hbm), true)
  GdipDisposeImage(bitmap)
  t.eq(addr(GdipCreateHBITMAPFromBitmap(Int2Ptr(0), 0)), 0)
  t.eq(addr(GdipCreateFromHDC(Int2Ptr(0))), 0)
end)

-- Counts the pixels of a rectangle that differ from `background`.
local function ink(dc, l, tp, r, b, background)
  local n = 0
  for y = tp, b - 1 do
    for x = l, r - 1 do
      if GetPixel(dc, x, y) ~= background then n = n + 1 end
    end
  end
  return n
end

local function paint_tests(dc)
  local white = CreateSolidBrush(RGB(255, 255, 255))
  FillRect(dc, 0, 0, 400, 300, white)

  t.test("FillRect fills exactly its rectangle", function()
    local red = CreateSolidBrush(RED)
    t.eq(FillRect(dc, 10, 10, 60, 60, red), true)
    t.eq(GetPixel(dc, 10, 10), RED)
    t.eq(GetPixel(dc, 59, 59), RED)
    t.eq(GetPixel(dc, 60, 30), RGB(255, 255, 255), "right edge excluded")
    -- A system colour brush goes in as COLOR_* + 1 through Int2Ptr.
    t.eq(FillRect(dc, 0, 280, 5, 285, Int2Ptr(COLOR_WINDOW + 1)), true)
    t.eq(GetPixel(dc, 2, 282), GetSysColor(COLOR_WINDOW))
    DeleteObject(red)
  end)

  t.test("MoveToEx reports the old position, LineTo draws up to its end", function()
    local pen = CreatePen(PS_SOLID, 1, BLUE)
    local old = SelectObject(dc, pen)
    t.truthy(addr(old) ~= 0, "previous pen")
    local ok, x, y = MoveToEx(dc, 70, 10)
    t.eq(ok, true); t.eq(x, 0); t.eq(y, 0)
    t.eq(LineTo(dc, 120, 10), true)
    for px = 70, 119 do t.eq(GetPixel(dc, px, 10), BLUE, "line pixel " .. px) end
    t.eq(GetPixel(dc, 120, 10), RGB(255, 255, 255), "end point not drawn")
    t.eq(GetPixel(dc, 90, 11), RGB(255, 255, 255))
    ok, x, y = MoveToEx(dc, 0, 0)
    t.eq(x, 120); t.eq(y, 10)
    t.truthy(SelectObject(dc, old) == pen, "SelectObject gives back the pen")
    DeleteObject(pen)
  end)

  t.test("shapes outline with the pen and fill with the brush", function()
    local pen, brush = CreatePen(PS_SOLID, 1, BLUE), CreateSolidBrush(GREEN)
    local old_pen, old_brush = SelectObject(dc, pen), SelectObject(dc, brush)
    t.eq(Rectangle(dc, 130, 10, 180, 60), true)
    t.eq(GetPixel(dc, 130, 30), BLUE)
    t.eq(GetPixel(dc, 155, 35), GREEN)
    t.eq(Ellipse(dc, 190, 10, 240, 60), true)
    t.eq(GetPixel(dc, 215, 35), GREEN)
    t.eq(GetPixel(dc, 191, 11), RGB(255, 255, 255), "outside the ellipse")
    t.eq(RoundRect(dc, 250, 10, 300, 60, 30, 30), true)
    t.eq(GetPixel(dc, 275, 35), GREEN)
    t.eq(GetPixel(dc, 251, 11), RGB(255, 255, 255), "rounded corner")
    t.eq(GetPixel(dc, 275, 10), BLUE)
    -- Counter-clockwise from the right end to the left end: the upper half.
    t.eq(Arc(dc, 10, 70, 60, 120, 60, 95, 10, 95), true)
    t.eq(GetPixel(dc, 35, 70), BLUE, "top of the arc")
    t.eq(GetPixel(dc, 35, 119), RGB(255, 255, 255), "no lower half")
    t.eq(GetPixel(dc, 35, 95), RGB(255, 255, 255), "an arc is not filled")
    SelectObject(dc, old_pen); SelectObject(dc, old_brush)
    DeleteObject(pen); DeleteObject(brush)
  end)

  t.test("SetPixel and GetPixel, CLR_INVALID outside the clip region", function()
    t.eq(SetPixel(dc, 5, 100, RGB(1, 2, 3)), RGB(1, 2, 3))
    t.eq(GetPixel(dc, 5, 100), RGB(1, 2, 3))
    t.eq(GetPixel(dc, -10, -10), CLR_INVALID)
    t.eq(GetPixel(dc, 5000, 5000), 4294967295)
  end)

  t.test("text colours, background mode and DrawText", function()
    t.eq(SetTextColor(dc, RGB(10, 20, 30)), 0, "black before")
    t.eq(SetTextColor(dc, 0), RGB(10, 20, 30))
    t.eq(SetBkColor(dc, RGB(255, 255, 0)), RGB(255, 255, 255), "white before")
    t.eq(SetBkMode(dc, TRANSPARENT), OPAQUE)
    t.eq(SetBkMode(dc, TRANSPARENT), TRANSPARENT)
    local before = ink(dc, 70, 70, 200, 100, RGB(255, 255, 255))
    t.eq(before, 0)
    local h = DrawText(dc, "Hello, paint", 70, 70, 200, 100, DT_CALCRECT | DT_SINGLELINE)
    t.truthy(h > 5 and h < 30, "height " .. h)
    t.eq(ink(dc, 70, 70, 200, 100, RGB(255, 255, 255)), 0, "DT_CALCRECT draws nothing")
    t.eq(DrawText(dc, "Hello, paint", 70, 70, 200, 100, DT_SINGLELINE), h)
    t.truthy(ink(dc, 70, 70, 200, 100, RGB(255, 255, 255)) > 20, "text drawn")
  end)

  t.test("DT_MODIFYSTRING never writes into the script's string", function()
    local long = string.rep("abcdefghij", 30)
    local copy = long .. ""
    local h = DrawText(dc, long, 70, 110, 110, 130,
      DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING)
    t.truthy(h > 0)
    t.eq(long, copy)
    t.eq(long:sub(1, 12), "abcdefghijab")
  end)

  t.test("CreateFont: face and height, bold adds ink, underline adds a line", function()
    local normal = CreateFont({ facename = "Courier New", height = 20 })
    local bold = CreateFont({ facename = "Courier New", height = 20, bold = true })
    local under = CreateFont({ facename = "Courier New", height = 20, underline = true })
    local old = SelectObject(dc, normal)
    t.eq(DrawText(dc, "MW", 0, 0, 100, 100, DT_CALCRECT | DT_SINGLELINE), 20)
    local function measure(font, top)
      SelectObject(dc, font)
      DrawText(dc, "MWMW", 10, top, 200, top + 30, DT_SINGLELINE)
      return ink(dc, 10, top, 200, top + 30, RGB(255, 255, 255))
    end
    local n, b, u = measure(normal, 140), measure(bold, 175), measure(under, 210)
    t.truthy(b > n, string.format("bold %d > normal %d", b, n))
    t.truthy(u > n, string.format("underlined %d > normal %d", u, n))
    SelectObject(dc, old)
    DeleteObject(normal); DeleteObject(bold); DeleteObject(under)
  end)

  t.test("GDI+ draws an image into the window at its own size", function()
    local g = GdipCreateFromHDC(dc)
    t.truthy(addr(g) ~= 0, "graphics")
    GdipDrawImageI(g, png_image, 300, 100)
    GdipDeleteGraphics(g)
    t.eq(GetPixel(dc, 300, 100), PNG_COLOUR)
    t.eq(GetPixel(dc, 323, 115), PNG_COLOUR)
    t.eq(GetPixel(dc, 324, 115), RGB(255, 255, 255), "image width 24")
    t.eq(GetPixel(dc, 310, 116), RGB(255, 255, 255), "image height 16")
  end)
  DeleteObject(white)
end

dialog_callback = function(w, msg)
  if msg == WM_PAINT and w == hWin then
    local dc = BeginPaint(hWin)
    t.test("BeginPaint gives the window's device context", function()
      t.truthy(addr(dc) ~= 0)
    end)
    paint_tests(dc)
    t.test("EndPaint closes the cycle", function()
      t.eq(EndPaint(hWin), true)
    end)
    GdipDisposeImage(png_image)
    GdiplusShutdown()
    t.done()
  end
  return 0
end
MoveWindow(hWin, 40, 40, 480, 380, true)
