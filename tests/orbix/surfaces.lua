-- Surfaces and pixels (no video needed).
local t = require "testlib"
local orbix = require "orbix"
local work = os.getenv("TEST_WORK_DIR") or "."

local function rgba32(w, h) return orbix.CreateRGBSurfaceWithFormat(0, w, h, 32, orbix.PIXELFORMAT_RGBA32) end
local function px(s, x, y) return table.concat({ orbix.get_surface_rgba(s, x, y) }, ",") end

t.test("out-of-range pixel addressing falls back to row or column 0", function()
  local s = rgba32(4, 4)
  orbix.set_surface_rgba(s, 0, 3, 1, 1, 1, 255)
  orbix.set_surface_rgba(s, 0, 0, 2, 2, 2, 255)
  t.eq(px(s, -1, 3), "1,1,1,255")
  t.eq(px(s, 4, 4), "2,2,2,255")
  orbix.set_surface_rgba(s, 100, -7, 9, 9, 9, 9)
  t.eq(px(s, 0, 0), "9,9,9,9")
  t.raises(function() orbix.get_surface_rgba(s, 1.5, 0) end, "#2")
end)

t.test("set_surface_rgba takes loose integers", function()
  local s = rgba32(4, 4)
  orbix.set_surface_rgba(s, 2, 2, "red", 300, 10.5)
  t.eq(px(s, 2, 2), "0,44,0,0")
  orbix.set_surface_rgba(s, "1", 1.0, 1, 2, 3, 4)
  t.eq(px(s, 1, 1), "1,2,3,4")
  t.raises(function() orbix.set_surface_rgba(nil, 0, 0, 0, 0, 0, 0) end, "orbix_surface expected")
end)

t.test("24-bit surface round trip", function()
  local s = orbix.CreateRGBSurface(0, 3, 3, 24, 0xff, 0xff00, 0xff0000, 0)
  orbix.set_surface_rgba(s, 1, 2, 12, 34, 56, 78)
  t.eq(px(s, 1, 2), "12,34,56,255")
  t.eq(px(s, 0, 0), "0,0,0,255")
end)

t.test("colour key reads as transparent black", function()
  local s = rgba32(2, 1)
  orbix.set_surface_rgba(s, 0, 0, 255, 0, 255, 255)
  orbix.set_surface_rgba(s, 1, 0, 0, 0, 0, 0)
  local key = orbix.MapRGB(s, 255, 0, 255)
  t.truthy(key > 2147483647, "MapRGB is unsigned: " .. key)
  t.eq(orbix.SetColorKey(s, true, key), 0)
  t.eq(px(s, 0, 0), "0,0,0,0")
  t.eq(orbix.SetColorKey(s, nil, key), 0)
  t.eq(px(s, 0, 0), "255,0,255,255")
end)

t.test("8-bit palettes", function()
  local s = orbix.CreateRGBSurfaceWithFormat(0, 4, 4, 8, orbix.PIXELFORMAT_INDEX8)
  local colors = orbix.getColors(s)
  t.eq(#colors, 256)
  local before = table.concat(colors[2], ",")
  orbix.setColors(s, {})
  t.eq(table.concat(orbix.getColors(s)[2], ","), before)
  orbix.setColors(s, { { 10, 20, 30, 255 }, { 256 + 1, "2", 3.9, -1 } })
  t.eq(table.concat(orbix.getColors(s)[1], ","), "10,20,30,255")
  t.eq(table.concat(orbix.getColors(s)[2], ","), "1,2,3,255")
  orbix.set_surface_rgba(s, 3, 3, 1, 2, 3, 255)
  t.eq(px(s, 3, 3), "1,2,3,255", "nearest palette colour")
  t.eq(orbix.surface_fill_rect(s, { 0, 0, 1, 1 }, 10, 20, 30, 255), 0)
  t.eq(px(s, 0, 0), "10,20,30,255")
  local err = t.raises(function() orbix.setColors(s, 5) end, "argument 2 must be table.")
  t.truthy(err:find("surfaces.lua:%d+:"), "position prefix")
  t.raises(function() orbix.setColors(s, { 5 }) end, "index")
  -- More colours than the palette has: the first 256 are taken.
  local many = {}
  for i = 1, 300 do many[i] = { 7, 7, 7, 7 } end
  orbix.setColors(s, many)
  t.eq(table.concat(orbix.getColors(s)[256], ","), "7,7,7,7")
  t.eq(#orbix.getColors(rgba32(1, 1)), 0, "no palette, no colours")
end)

t.test("BlitSurface leaves the script's rectangle unchanged", function()
  local src, dst = rgba32(4, 4), rgba32(8, 8)
  orbix.surface_fill_rect(src, nil, 5, 6, 7, 255)
  local r = { 5, 5, 0, 0 }
  t.eq(orbix.BlitSurface(src, nil, dst, r), 0)
  t.eq(table.concat(r, ","), "5,5,0,0")
  t.eq(px(dst, 7, 7), "5,6,7,255")
  t.eq(px(dst, 6, 7), "5,6,7,255")
  t.eq(px(dst, 4, 4), "0,0,0,0")
  t.eq(orbix.BlitSurface(src, { 0, 0, 1, 1 }, dst, nil), 0)
  t.eq(px(dst, 0, 0), "5,6,7,255")
  t.eq(px(dst, 1, 0), "0,0,0,0")
end)

t.test("blend modes", function()
  local s = rgba32(1, 1)
  t.eq(orbix.SetSurfaceBlendMode(s, orbix.BLENDMODE_MOD), 0)
  local mode, status = orbix.GetSurfaceBlendMode(s)
  t.eq(mode, orbix.BLENDMODE_MOD); t.eq(status, 0)
  orbix.FreeSurface(s)
  t.eq(select(2, orbix.GetSurfaceBlendMode(s)) < 0, true)
end)

t.test("zoomSurface doubles and leaves the source", function()
  local s = rgba32(3, 2)
  orbix.surface_fill_rect(s, nil, 1, 2, 3, 255)
  local z = orbix.zoomSurface(s, 2, 2, true)
  local w, h = orbix.getSurfaceWidthHeight(z)
  t.eq(w, 6); t.eq(h, 4)
  t.eq(px(z, 5, 3), "1,2,3,255")
  t.eq(select(1, orbix.getSurfaceWidthHeight(s)), 3)
  orbix.FreeSurface(s)
  t.eq(select("#", orbix.zoomSurface(s, 2, 2)), 0)
end)

t.test("empty handles: field readers raise, SDL calls report failure", function()
  local s = rgba32(1, 1)
  orbix.FreeSurface(s)
  orbix.FreeSurface(s)
  for _, f in ipairs { function() orbix.getSurfaceWidthHeight(s) end, function() orbix.MapRGB(s, 1, 2, 3) end,
                       function() orbix.get_surface_rgba(s, 0, 0) end, function() orbix.getColors(s) end,
                       function() orbix.set_surface_rgba(s, 0, 0, 1, 1, 1, 1) end,
                       function() orbix.surface_fill_rect(s, nil, 1, 1, 1, 1) end } do
    t.raises(f, "surface has been freed")
  end
  t.eq(orbix.SetColorKey(s, true, 0) < 0, true)
  t.eq(orbix.IMG_SavePNG(s, work .. "/x.png") < 0, true)
  -- A zero-sized surface is live but has no pixel buffer, not even (0, 0).
  local none = orbix.CreateRGBSurface(0, 0, 0, 32, 0, 0, 0, 0)
  t.eq(orbix.getSurfaceWidthHeight(none), 0)
  t.raises(function() orbix.get_surface_rgba(none, 0, 0) end, "surface has no pixels")
  t.raises(function() orbix.set_surface_rgba(none, 0, 0, 1, 1, 1, 1) end, "surface has no pixels")
  local bad = orbix.CreateRGBSurface(0, -1, 1, 32, 0, 0, 0, 0)
  t.eq(type(bad), "userdata")
  t.raises(function() orbix.getSurfaceWidthHeight(bad) end, "surface has been freed")
end)

t.test("IMG_SavePNG and IMG_Load", function()
  t.eq(orbix.IMG_Init(orbix.IMG_INIT_PNG) & orbix.IMG_INIT_PNG, orbix.IMG_INIT_PNG)
  local s = rgba32(2, 2)
  orbix.set_surface_rgba(s, 1, 1, 200, 100, 50, 255)
  t.eq(orbix.IMG_SavePNG(s, work .. "/p.png"), 0)
  local back = orbix.IMG_Load(work .. "/p.png")
  t.eq(px(back, 1, 1), "200,100,50,255")
  t.eq(select("#", orbix.IMG_Load(work .. "/nope.png")), 0)
  t.eq(orbix.IMG_SavePNG(s, work .. "/no/such/dir.png") < 0, true)
  orbix.IMG_Quit()
end)

t.done()
