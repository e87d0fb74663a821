-- TrueType text: measuring, solid and wrapped rendering read back pixel by
-- pixel, the colour-table rules and the argument order of the renderers.
local t = require "testlib"
local orbix = require "orbix"

-- DejaVu Sans comes from Debian's fonts-dejavu-core; under Wine the same file
-- is reached through drive Z:.
local function find_font()
  local candidates = {
    os.getenv("ORBIX_TEST_FONT"),
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "Z:/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
  }
  for _, path in pairs(candidates) do
    local f = path and io.open(path, "rb")
    if f then
      f:close()
      return path
    end
  end
  error("DejaVuSans.ttf not found (install fonts-dejavu-core or set ORBIX_TEST_FONT)")
end

local FONT = find_font()
t.eq(orbix.TTF_Init(), 0)
local font = assert(orbix.TTF_OpenFont(FONT, 24), orbix.GetError())

-- The first pixel (row by row) that is not fully transparent, as {x, y, r, g, b, a}.
local function first_ink(s)
  local w, h = orbix.getSurfaceWidthHeight(s)
  for y = 0, h - 1 do
    for x = 0, w - 1 do
      local r, g, b, a = orbix.get_surface_rgba(s, x, y)
      if a ~= 0 then return { x, y, r, g, b, a } end
    end
  end
end

-- The most opaque pixel's colour {r, g, b, a} (blended text is anti-aliased).
local function strongest(s)
  local w, h = orbix.getSurfaceWidthHeight(s)
  local best = { 0, 0, 0, -1 }
  for y = 0, h - 1 do
    for x = 0, w - 1 do
      local r, g, b, a = orbix.get_surface_rgba(s, x, y)
      if a > best[4] then best = { r, g, b, a } end
    end
  end
  return best
end

local function same(got, want, what)
  for i = 1, #want do t.eq(got[i], want[i], what .. "[" .. i .. "]") end
end

t.test("fonts open and close by collection; missing files give no value", function()
  t.eq(getmetatable(font).__name, "orbix_font")
  t.count(0, orbix.TTF_OpenFont("no-such-font.ttf", 12))
  t.truthy(orbix.GetError():find("no-such-font.ttf", 1, true), "SDL's reason")
  t.raises(function() orbix.TTF_OpenFont(FONT) end, "bad argument #2")
  t.raises(function() orbix.TTF_OpenFont(nil, 12) end, "bad argument #1")
  for _ = 1, 10 do orbix.TTF_OpenFont(FONT, 10) end
  collectgarbage()
  collectgarbage()
end)

t.test("TTF_SizeText gives width, height and status 0", function()
  local w, h, status = t.count(3, orbix.TTF_SizeText(font, "Hi"))
  t.eq(status, 0)
  t.truthy(w > 10 and w < 60, "width " .. w)
  t.truthy(h >= 24 and h < 40, "height " .. h)
  local w2, h2 = orbix.TTF_SizeText(font, "HiHi")
  t.eq(h2, h)
  t.truthy(w2 > w, "longer text is wider")
  local bigger = orbix.TTF_OpenFont(FONT, 48)
  local w3, h3 = orbix.TTF_SizeText(bigger, "Hi")
  t.truthy(w3 > w and h3 > h, "a larger point size measures larger")
  t.raises(function() orbix.TTF_SizeText(font) end, "bad argument #2")
  t.raises(function() orbix.TTF_SizeText("font", "Hi") end, "orbix_font")
end)

t.test("solid text: surface of the measured size in the given colour", function()
  local w, h = orbix.TTF_SizeText(font, "Hi")
  local s = orbix.TTF_RenderText_Solid(font, "Hi", { 255, 128, 0, 255 })
  t.eq(getmetatable(s).__name, "orbix_surface")
  local sw, sh = orbix.getSurfaceWidthHeight(s)
  t.eq(sw, w)
  t.eq(sh, h)
  local ink = first_ink(s)
  same({ ink[3], ink[4], ink[5], ink[6] }, { 255, 128, 0, 255 }, "ink")
  same({ orbix.get_surface_rgba(s, 0, 0) }, { 0, 0, 0, 0 }, "background")
  orbix.FreeSurface(s)
end)

t.test("colour tables: conversion, low bits and a missing alpha", function()
  local function ink(color)
    local i = first_ink(orbix.TTF_RenderText_Solid(font, "Hi", color))
    return { i[3], i[4], i[5], i[6] }
  end
  same(ink({ 255.0, "128", 0, 255 }), { 255, 128, 0, 255 }, "float and string entries")
  same(ink({ 256, 1, 2, 255 }), { 0, 1, 2, 255 }, "256 keeps its low 8 bits")
  same(ink({ -1, "x", 2.5, 255 }), { 255, 0, 0, 255 }, "-1, a word and a fraction")
  same(ink({ 255, 128, 0, 128 }), { 255, 128, 0, 128 }, "explicit alpha")
  -- A missing alpha is 0, which SDL_ttf draws exactly like an explicit 0.
  same(ink({ 255, 128, 0 }), ink({ 255, 128, 0, 0 }), "missing alpha")
  same(strongest(orbix.TTF_RenderText_Blended_Wrapped(font, "Hi", { 9, 8, 7 }, 0)),
       strongest(orbix.TTF_RenderText_Blended_Wrapped(font, "Hi", { 9, 8, 7, 0 }, 0)), "wrapped, missing alpha")
end)

t.test("wrapped text: one line when it fits, more lines when it does not", function()
  local text = "Mmm Mmm"
  local w, h = orbix.TTF_SizeText(font, text)
  local s = orbix.TTF_RenderText_Blended_Wrapped(font, text, { 10, 200, 30, 255 }, 1000)
  local sw, sh = orbix.getSurfaceWidthHeight(s)
  t.eq(sh, h, "one line")
  t.truthy(sw >= w - 2 and sw <= w + 2, "one line as wide as measured: " .. sw .. " vs " .. w)
  same(strongest(s), { 10, 200, 30, 255 }, "colour")
  local word = orbix.TTF_SizeText(font, "Mmm")
  local wrap = word + 30  -- room for one word, not for two
  local s2 = orbix.TTF_RenderText_Blended_Wrapped(font, text, { 10, 200, 30, 255 }, wrap)
  local w2, h2 = orbix.getSurfaceWidthHeight(s2)
  t.truthy(w2 <= wrap, "no wider than the wrap length")
  t.truthy(h2 >= 2 * h - 4, "two lines: " .. h2 .. " vs " .. h)
  t.truthy(h2 < 3 * h, "not three lines")
  local _, h3 = orbix.getSurfaceWidthHeight(orbix.TTF_RenderText_Blended_Wrapped(font, "ab\ncd", { 1, 2, 3, 255 }, 0))
  t.eq(h3, h2, "a newline breaks the line even without a wrap length")
end)

t.test("renderers check the colour first, with exact plain errors", function()
  local function plain(fn, ...)
    local ok, err = pcall(fn, ...)
    t.falsy(ok, "raised")
    return err
  end
  t.eq(plain(orbix.TTF_RenderText_Solid, font, "Hi", nil), "TTF_RenderText_Solid:Argument 3 must be color table.")
  t.eq(plain(orbix.TTF_RenderText_Solid, 42, "Hi", "red"), "TTF_RenderText_Solid:Argument 3 must be color table.")
  t.eq(plain(orbix.TTF_RenderText_Solid, nil, nil), "TTF_RenderText_Solid:Argument 3 must be color table.")
  t.eq(plain(orbix.TTF_RenderText_Blended_Wrapped, "x", {}, 5, 100),
       "TTF_RenderText_Blended_Wrapped:Argument 3 must be color table.")
  t.eq(plain(orbix.TTF_RenderText_Blended_Wrapped, font, "Hi", nil),
       "TTF_RenderText_Blended_Wrapped:Argument 3 must be color table.")
  -- Once the colour is a table the usual argument checks follow, last first.
  t.raises(function() orbix.TTF_RenderText_Blended_Wrapped(font, "Hi", { 1, 2, 3 }) end, "bad argument #4")
  t.raises(function() orbix.TTF_RenderText_Blended_Wrapped(42, nil, { 1, 2, 3 }, 10) end, "bad argument #2")
  t.raises(function() orbix.TTF_RenderText_Blended_Wrapped(42, "Hi", { 1, 2, 3 }, 10) end, "bad argument #1")
  t.raises(function() orbix.TTF_RenderText_Solid(font, {}, { 1, 2, 3 }) end, "bad argument #2")
  t.raises(function() orbix.TTF_RenderText_Solid(42, "Hi", { 1, 2, 3 }) end, "orbix_font")
end)

t.test("text SDL_ttf cannot render gives no value", function()
  t.count(0, orbix.TTF_RenderText_Solid(font, "", { 1, 2, 3, 255 }))
  t.count(0, orbix.TTF_RenderText_Blended_Wrapped(font, "", { 1, 2, 3, 255 }, 0))
end)

t.test("Latin-1: the bytes of a UTF-8 string are drawn one by one", function()
  local utf8w = orbix.TTF_SizeText(font, "\xC3\xA9")   -- "é" in UTF-8: two glyphs
  local latin1w = orbix.TTF_SizeText(font, "\xE9")      -- "é" in Latin-1: one glyph
  t.truthy(utf8w > latin1w, utf8w .. " > " .. latin1w)
end)

t.done()
