-- Drawing primitives: narrowing, argument checks, drawing read back.
local t = require "testlib"
local orbix = require "orbix"
local H = require "helpers"

H.init()
local win, ren = H.window(64, 64)
local tex = H.target(ren, 16, 16)

t.test("pixelRGBA truncates coordinates and narrows colours", function()
  t.eq(orbix.pixelRGBA(ren, 10.9, 3.7, 255, 0, 0, 255), 0)
  H.same(t, H.pixel(ren, tex, 10, 3), { 255, 0, 0, 255 })
  t.eq(orbix.pixelRGBA(ren, 10.9, -3.7, 255, 0, 0, 255), 0, "off-target pixel is no failure")
  t.eq(orbix.pixelRGBA(ren, 1, 1, 256, -1, "128", 255 + 256), 0)
  H.same(t, H.pixel(ren, tex, 1, 1), { 0, 255, 128, 255 })
  -- 65536 + 2 keeps its low 16 bits: 2.
  t.eq(orbix.pixelRGBA(ren, 65538, 2, 1, 2, 3, 255), 0)
  H.same(t, H.pixel(ren, tex, 2, 2), { 1, 2, 3, 255 })
end)

t.test("16-bit wrap of coordinates", function()
  orbix.SetRenderDrawColor(ren, 0, 0, 0, 0)
  orbix.RenderClear(ren)
  -- x2 = 40000 wraps to -25536: the line runs left from x 5, so only x 0..5 is lit.
  t.eq(orbix.hlineRGBA(ren, 5, 40000, 4, 9, 9, 9, 255), 0)
  H.same(t, H.pixel(ren, tex, 0, 4), { 9, 9, 9, 255 })
  H.same(t, H.pixel(ren, tex, 6, 4), { 0, 0, 0, 0 })
end)

t.test("shapes draw where expected", function()
  orbix.SetRenderDrawColor(ren, 0, 0, 0, 0)
  orbix.RenderClear(ren)
  t.eq(orbix.boxRGBA(ren, 2, 2, 5, 5, 0, 255, 0, 255), 0)
  H.same(t, H.pixel(ren, tex, 4, 4), { 0, 255, 0, 255 })
  t.eq(orbix.rectangleRGBA(ren, 8, 8, 12, 12, 0, 0, 255, 255), 0)
  H.same(t, H.pixel(ren, tex, 8, 10), { 0, 0, 255, 255 })
  H.same(t, H.pixel(ren, tex, 10, 10), { 0, 0, 0, 0 }, "hollow")
  t.eq(orbix.filledcircleRGBA(ren, 12, 3, 2, 255, 255, 0, 255), 0)
  H.same(t, H.pixel(ren, tex, 12, 3), { 255, 255, 0, 255 })
  t.eq(orbix.vlineRGBA(ren, 15, 0, 15, 7, 7, 7, 255), 0)
  H.same(t, H.pixel(ren, tex, 15, 9), { 7, 7, 7, 255 })
  for _, call in ipairs {
    { "lineRGBA", 0, 0, 5, 5 }, { "aalineRGBA", 0, 0, 5, 5 }, { "thickLineRGBA", 0, 0, 9, 9, 3 },
    { "roundedBoxRGBA", 0, 0, 9, 9, 2 }, { "roundedRectangleRGBA", 0, 0, 9, 9, 2 },
    { "aacircleRGBA", 5, 5, 3 }, { "ellipseRGBA", 5, 5, 4, 2 }, { "aaellipseRGBA", 5, 5, 4, 2 },
    { "filledellipseRGBA", 5, 5, 4, 2 }, { "circleRGBA", 5, 5, 3 },
  } do
    local args = { table.unpack(call, 2) }
    for _, c in ipairs { 1, 2, 3, 255 } do args[#args + 1] = c end
    t.eq(orbix[call[1]](ren, table.unpack(args)), 0, call[1])
  end
end)

t.test("circleRGBA takes integers only", function()
  t.raises(function() orbix.circleRGBA(ren, 10.5, 10, 5, 255, 255, 255, 255) end, "#2")
  t.eq(orbix.circleRGBA(ren, 10.0, 10, 5, 255, 255, 255, 255), 0)
  -- Its integers narrow like every primitive's numbers.
  orbix.SetRenderDrawColor(ren, 0, 0, 0, 0)
  orbix.RenderClear(ren)
  t.eq(orbix.circleRGBA(ren, 65536 + 8, 8, 65536 + 3, 256, -1, 256 + 7, -1), 0)
  H.same(t, H.pixel(ren, tex, 11, 8), { 0, 255, 7, 255 }, "rightmost point")
  H.same(t, H.pixel(ren, tex, 8, 8), { 0, 0, 0, 0 }, "hollow")
  t.raises(function() orbix.circleRGBA(nil, 10.5, 0, 0, 0, 0, 0, "x") end, "#8")
  t.raises(function() orbix.circleRGBA(nil, 10.5, 0, 0, 0, 0, 0, 0) end, "#2")
  t.raises(function() orbix.circleRGBA(nil, 10, 0, 0, 0, 0, 0, 0) end, "orbix_renderer expected")
end)

t.test("thickLineRGBA: the width keeps its low 8 bits", function()
  orbix.SetRenderDrawColor(ren, 0, 0, 0, 0)
  orbix.RenderClear(ren)
  t.eq(orbix.thickLineRGBA(ren, 0, 12, 15, 12, 256, 1, 1, 1, 255), -1, "256 is width 0")
  t.eq(orbix.thickLineRGBA(ren, 0, 12, 15, 12, 256 + 5, 1, 1, 1, 255), 0)
  H.same(t, H.pixel(ren, tex, 8, 14), { 1, 1, 1, 255 }, "five pixels thick")
  H.same(t, H.pixel(ren, tex, 8, 9), { 0, 0, 0, 0 })
end)

t.test("argument errors name the highest bad argument", function()
  t.raises(function() orbix.rectangleRGBA(ren, 1, 2, 3, 4, 5, 6, 7) end, "#9")
  t.raises(function() orbix.lineRGBA(nil, 0, 0, 1, 1, 1, 1, 1, 1) end, "#1")
  t.raises(function() orbix.lineRGBA(nil, "x", 0, 1, 1, {}, 1, 1, 1) end, "#6")
  t.raises(function() orbix.pixelRGBA(ren, 0, 0, 0, 0, 0, nil) end, "#7")
  t.raises(function() orbix.stringRGBA(ren, 0, 0, {}, 1, 1, 1, 1) end, "#4")
end)

t.test("stringRGBA: numbers as text, any renderer", function()
  orbix.SetRenderDrawColor(ren, 0, 0, 0, 0)
  orbix.RenderClear(ren)
  t.eq(orbix.stringRGBA(ren, 0, 0, 42, 255, 255, 255, 255), 0)
  local lit = 0
  for y = 0, 7 do
    for x = 0, 15 do
      if H.pixel(ren, tex, x, y)[4] ~= 0 then lit = lit + 1 end
    end
  end
  t.truthy(lit > 10, "glyphs drawn: " .. lit)
  -- A second renderer draws text too (the glyph cache follows the renderer).
  local s = orbix.CreateRGBSurfaceWithFormat(0, 16, 8, 32, orbix.PIXELFORMAT_RGBA32)
  local soft = orbix.CreateSoftwareRenderer(s)
  t.eq(orbix.stringRGBA(soft, 0, 0, "Hi", 255, 255, 255, 255), 0)
  t.eq(orbix.stringRGBA(ren, 0, 0, "Hi", 255, 255, 255, 255), 0)
  orbix.DestroyRenderer(soft)
  t.eq(orbix.stringRGBA(ren, 0, 0, "Hi", 255, 255, 255, 255), 0)
end)

t.test("empty renderer: every primitive reports -1", function()
  local w2, r2 = H.window(8, 8)
  orbix.DestroyRenderer(r2)
  t.eq(orbix.pixelRGBA(r2, 0, 0, 1, 1, 1, 1), -1)
  t.eq(orbix.stringRGBA(r2, 0, 0, "x", 1, 1, 1, 1), -1)
  for _, name in ipairs { "boxRGBA", "rectangleRGBA", "lineRGBA", "aalineRGBA", "ellipseRGBA", "aaellipseRGBA",
                          "filledellipseRGBA" } do
    t.eq(orbix[name](r2, 0, 0, 4, 4, 1, 1, 1, 1), -1, name)
  end
  orbix.DestroyWindow(w2)
end)

orbix.DestroyWindow(win)
orbix.Quit()
t.done()
