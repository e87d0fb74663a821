-- A painted postcard below the planner: sky, sun, rainbow, hills, a fence
-- and a title, all drawn with GDI in WM_PAINT, plus a picture that GDI+
-- loads from a file and draws. Click the card to move on through the day.
-- Beside it, rich-edit "postcard notes" that save to and open from RTF files.
--
-- Other parts may use:
--   app.paint.save(path) -> true when saved     (SaveRichEdit)
--   app.paint.open(path) -> true when opened    (LoadRichEdit)
--   app.paint.card       -> left, top, right, bottom of the painted card

-- luacheck: globals app
-- (app, the dispatch table init.lua sets up, is shared by every part)
local CHILD = WS_CHILD | WS_VISIBLE
local win32 = require "app_win32"
local CARD_X, CARD_Y, CARD_W, CARD_H = 12, 426, 280, 250
local NOTES_X, NOTES_W = CARD_X + CARD_W + 12, 584

local function status(text)
  if app.status then app.status(text) end
end

-- Room for a row below the planner, above the status line.
do
  local _, l, t, r, b = GetWindowRect(hWin)
  local _, _, cw, ch = GetClientRect(hWin)
  local want_w, want_h = NOTES_X + NOTES_W + 12, CARD_Y + CARD_H + 32
  if cw < want_w or ch < want_h then
    -- Grow around the window's centre, so the taller window stays on screen.
    local w = math.max(cw, want_w) + (r - l) - cw
    local h = math.max(ch, want_h) + (b - t) - ch
    MoveWindow(hWin, math.max(0, l - (w - (r - l)) // 2), math.max(0, t - (h - (b - t)) // 2), w, h, true)
  end
end

app.paint = { card = { CARD_X, CARD_Y, CARD_X + CARD_W, CARD_Y + CARD_H } }

---------------------------------------------------------------- the picture

-- A small 24-bit BMP written at start-up: a tiled landscape of concentric
-- rings, so the card has a real image file for GDI+ to load.
local function write_picture(path, w, h)
  local stride = (w * 3 + 3) & ~3
  local rows = {}
  for y = h - 1, 0, -1 do          -- BMP rows run bottom-up
    local row = {}
    for x = 0, w - 1 do
      local dx, dy = x - w / 2, y - h / 2
      local ring = math.floor(math.sqrt(dx * dx + dy * dy) / 5) % 2
      local r = ring == 0 and 250 or 40 + x * 2
      local g = ring == 0 and 200 - y or 120 + y
      local b = ring == 0 and 60 or 200
      row[#row + 1] = string.char(b, g, r)
    end
    rows[#rows + 1] = table.concat(row) .. string.rep("\0", stride - w * 3)
  end
  local data = table.concat(rows)
  local f = io.open(path, "wb")
  if not f then return end
  f:write(string.pack("<c2I4I2I2I4", "BM", 54 + #data, 0, 0, 54))
  -- 3780 pixels per metre is 96 dots per inch: GDI+ then draws it 1:1.
  f:write(string.pack("<I4i4i4I2I2I4I4i4i4I4I4", 40, w, h, 1, 24, 0, #data, 3780, 3780, 0, 0))
  f:write(data)
  f:close()
end

local folder = os.getenv("TEMP") or (exepath and exepath()) or "."
local picture_path = folder .. "\\app_paint_picture.bmp"
local picture
GdiplusStartup()
-- Another running copy of the app may hold the file open (GDI+ keeps an
-- image's file open while the image lives); its picture is the same one.
write_picture(picture_path, 64, 48)
picture = GdipLoadImageFromFile(picture_path)
if Ptr2Int(picture) == 0 then picture = nil end

------------------------------------------------------------------ painting

local times = {
  { name = "Morning", sky = { { 120, 180, 250 }, { 230, 240, 255 } }, sun = RGB(255, 220, 60), y = 70 },
  { name = "Evening", sky = { { 60, 40, 120 }, { 250, 150, 90 } }, sun = RGB(255, 110, 40), y = 130 },
  { name = "Night", sky = { { 10, 10, 40 }, { 40, 50, 100 } }, sun = RGB(235, 235, 210), y = 60 },
}
local time_index = 1

local title_font = CreateFont({ facename = "Arial", height = 22, bold = true })
local small_font = CreateFont({ facename = "Arial", height = 13, italic = true })

-- Runs fn with a temporary pen and brush selected, then restores and frees.
local function with(dc, pen, brush, fn)
  local old_pen = pen and SelectObject(dc, pen)
  local old_brush = brush and SelectObject(dc, brush)
  fn()
  if pen then SelectObject(dc, old_pen); DeleteObject(pen) end
  if brush then SelectObject(dc, old_brush); DeleteObject(brush) end
end

local function mix(a, b, f)
  return math.floor(a + (b - a) * f + 0.5)
end

local function paint_card(dc)
  local x0, y0 = CARD_X, CARD_Y
  local x1, y1 = x0 + CARD_W, y0 + CARD_H
  local now = times[time_index]
  local ground = y0 + 200

  -- Sky: a gradient of horizontal bands.
  local top, bottom = now.sky[1], now.sky[2]
  for band = 0, 19 do
    local f = band / 19
    local brush = CreateSolidBrush(RGB(mix(top[1], bottom[1], f), mix(top[2], bottom[2], f), mix(top[3], bottom[3], f)))
    FillRect(dc, x0, y0 + band * 10, x1, y0 + band * 10 + 10, brush)
    DeleteObject(brush)
  end

  -- Stars at night, one pixel each.
  if now.name == "Night" then
    local seed = 7
    for _ = 1, 60 do
      seed = (seed * 1103515245 + 12345) % 2147483648
      local sx, sy = x0 + seed % CARD_W, y0 + (seed // CARD_W) % 150
      SetPixel(dc, sx, sy, RGB(255, 255, 220))
    end
  end

  -- A rainbow: arcs from the right end to the left end make the upper half.
  local colours = { RGB(230, 40, 40), RGB(250, 150, 30), RGB(250, 230, 50), RGB(60, 180, 70), RGB(50, 110, 230) }
  if now.name ~= "Night" then
    for i, c in ipairs(colours) do
      local r = 110 - (i - 1) * 5
      local cx, cy = x0 + 170, ground + 20
      with(dc, CreatePen(PS_SOLID, 5, c), nil, function()
        Arc(dc, cx - r, cy - r, cx + r, cy + r, cx + r, cy, cx - r, cy)
      end)
    end
  end

  -- The sun (or moon), with a soft halo.
  local sx, sy = x0 + 60, y0 + now.y
  with(dc, CreatePen(PS_SOLID, 1, now.sun), CreateSolidBrush(now.sun), function()
    Ellipse(dc, sx - 22, sy - 22, sx + 22, sy + 22)
  end)
  with(dc, CreatePen(PS_DOT, 1, now.sun), nil, function()
    Arc(dc, sx - 30, sy - 30, sx + 30, sy + 30, sx + 30, sy, sx + 30, sy)
  end)

  -- Hills, then the ground in front of them.
  local hill = now.name == "Night" and RGB(30, 70, 50) or RGB(70, 160, 80)
  with(dc, CreatePen(PS_SOLID, 1, hill), CreateSolidBrush(hill), function()
    Ellipse(dc, x0 + 10, ground - 50, x0 + 170, ground + 40)
    Ellipse(dc, x0 + 120, ground - 35, x0 + 270, ground + 40)
  end)
  local soil = CreateSolidBrush(now.name == "Night" and RGB(40, 60, 40) or RGB(110, 180, 90))
  FillRect(dc, x0, ground, x1, y1, soil)
  DeleteObject(soil)

  -- A fence: posts and two rails with MoveToEx and LineTo.
  with(dc, CreatePen(PS_SOLID, 2, RGB(120, 80, 40)), nil, function()
    for px = x0 + 8, x0 + 140, 12 do
      MoveToEx(dc, px, ground - 4)
      LineTo(dc, px, ground + 22)
    end
    for _, ry in ipairs { ground + 2, ground + 14 } do
      MoveToEx(dc, x0 + 4, ry)
      LineTo(dc, x0 + 144, ry)
    end
  end)

  -- The GDI+ picture in a rounded frame, bottom right.
  local px, py = x1 - 64 - 14, y1 - 48 - 14
  with(dc, CreatePen(PS_SOLID, 2, RGB(255, 255, 255)), CreateSolidBrush(RGB(255, 255, 255)), function()
    RoundRect(dc, px - 5, py - 5, px + 64 + 5, py + 48 + 5, 10, 10)
  end)
  if picture then
    local g = GdipCreateFromHDC(dc)
    GdipDrawImageI(g, picture, px, py)
    GdipDeleteGraphics(g)
  end

  -- Title and caption.
  SetBkMode(dc, TRANSPARENT)
  local old_font = SelectObject(dc, title_font)
  SetTextColor(dc, RGB(0, 0, 0))
  DrawText(dc, "Greetings from Lua", x0 + 2, y0 + 8, x1 + 2, y0 + 40, DT_CENTER | DT_SINGLELINE)
  SetTextColor(dc, RGB(255, 255, 255))
  DrawText(dc, "Greetings from Lua", x0, y0 + 6, x1, y0 + 38, DT_CENTER | DT_SINGLELINE)
  SelectObject(dc, small_font)
  SetTextColor(dc, now.name == "Night" and RGB(220, 220, 220) or RGB(30, 50, 30))
  DrawText(dc, now.name .. " - click for more", x0 + 8, y1 - 22, x0 + 190, y1 - 4, DT_LEFT | DT_SINGLELINE)
  SelectObject(dc, old_font)

  -- A thin frame around the card.
  with(dc, CreatePen(PS_SOLID, 1, RGB(60, 60, 60)), nil, function()
    MoveToEx(dc, x0 - 1, y0 - 1)
    LineTo(dc, x1, y0 - 1); LineTo(dc, x1, y1); LineTo(dc, x0 - 1, y1); LineTo(dc, x0 - 1, y0 - 1)
  end)
end

app.on(WM_PAINT, function(w)
  if w ~= hWin then return nil end
  local dc = BeginPaint(hWin)
  paint_card(dc)
  EndPaint(hWin)
  return 1
end)

app.on(WM_LBUTTONDOWN, function(w, _, _, lp)
  local x, y = lp & 0xFFFF, (lp >> 16) & 0xFFFF
  if w == hWin and x >= CARD_X and x < CARD_X + CARD_W and y >= CARD_Y and y < CARD_Y + CARD_H then
    time_index = time_index % #times + 1
    InvalidateRect(hWin)
    status(times[time_index].name .. " on the postcard.")
    return 1
  end
end)

------------------------------------------------------------- postcard notes

local font = SendMessageInt(hWin, win32.WM_GETFONT, 0, 0)
local notes = CreateWindow("RICHEDIT50W", "", CHILD | WS_BORDER | ES_MULTILINE | WS_VSCROLL | WS_TABSTOP,
  NOTES_X, CARD_Y, NOTES_W, CARD_H - 34, hWin, 0, 0, 0)
app.paint.notes = notes

-- Formatting switched on and off explicitly (\b ... \b0) rather than by
-- groups: that reads the same in every rich-edit version.
StreamInRichEdit(notes, table.concat {
  "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Tahoma;}}",
  "{\\colortbl;\\red200\\green60\\blue20;\\red30\\green90\\blue160;}\\f0\\fs18 ",
  "\\b\\cf1\\fs22 Postcard notes\\b0\\cf0\\fs18\\par ",
  "The card is painted with \\b GDI\\b0  in WM_PAINT; the framed picture ",
  "comes from a BMP file through \\b GDI+\\b0 .\\par ",
  "\\i Edit this text, then\\i0  \\cf2 Save RTF\\cf0  \\i and\\i0  \\cf2 Open RTF\\cf0 .\\par}",
})

function app.paint.save(path)
  -- SaveRichEdit answers true when the save failed (and has said why).
  local failed = SaveRichEdit(notes, path)
  if not failed then status("Notes saved to " .. path) end
  return not failed
end

function app.paint.open(path)
  local ok = LoadRichEdit(notes, path)
  status(ok and ("Notes opened from " .. path) or ("Could not open " .. path))
  return ok
end

local RTF_FILTER = "Rich Text (*.rtf)\0*.rtf\0All Files (*.*)\0*.*\0"
local last_path = folder .. "\\postcard.rtf"

local function save_as()
  local path = SaveDialog and SaveDialog(last_path, RTF_FILTER, "rtf") or last_path
  if path then
    if app.paint.save(path) then last_path = path end
  end
end

local function open()
  local path = OpenDialog and OpenDialog(last_path, RTF_FILTER, "rtf") or last_path
  if path and app.paint.open(path) then last_path = path end
end

local function button(text, x, fn)
  local b = CreateWindow("BUTTON", text, CHILD | BS_PUSHBUTTON | WS_TABSTOP,
    x, CARD_Y + CARD_H - 26, 134, 26, hWin, app.command(fn), 0, 0)
  SendMessageInt(b, WM_SETFONT, font, 0)
end
button("Save RTF...", NOTES_X, save_as)
button("Open RTF...", NOTES_X + 144, open)

if app.menu_item then
  app.menu_separator("file")
  app.menu_item("file", "Save postcard notes as RTF...", save_as)
  app.menu_item("file", "Open postcard notes...", open)
end
