-- Release order of handles: explicit, by collection, through their owners
-- and through Quit. Under AddressSanitizer any double release or use after
-- free in these sequences aborts the run.
local t = require "testlib"
local orbix = require "orbix"
local H = require "helpers"

H.init()

t.test("double release and release then collect, every video type", function()
  local win, ren = H.window()
  local tex = orbix.CreateTexture(ren, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, 8, 8)
  local surf = orbix.CreateRGBSurfaceWithFormat(0, 8, 8, 32, orbix.PIXELFORMAT_RGBA32)
  orbix.DestroyTexture(tex)
  orbix.DestroyTexture(tex)
  orbix.FreeSurface(surf)
  orbix.FreeSurface(surf)
  orbix.DestroyRenderer(ren)
  orbix.DestroyRenderer(ren)
  orbix.DestroyWindow(win)
  orbix.DestroyWindow(win)
  tex, surf, ren, win = nil, nil, nil, nil
  H.gc()
end)

t.test("collection alone releases everything, in any order", function()
  for _ = 1, 20 do
    local win, ren = H.window()
    for _ = 1, 5 do
      orbix.CreateTexture(ren, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_STATIC, 4, 4)
    end
    orbix.CreateRGBSurface(0, 4, 4, 32, 0, 0, 0, 0)
  end
  H.gc()
end)

t.test("renderer destroyed before its textures empties them", function()
  local win, ren = H.window()
  local tex = H.target(ren, 8, 8)
  local alias = orbix.GetRenderTarget(ren)
  orbix.DestroyRenderer(ren)
  -- The textures went with their renderer: the handles are empty now.
  t.eq(select(5, orbix.QueryTexture(tex)) < 0, true)
  t.eq(select(5, orbix.QueryTexture(alias)) < 0, true)
  t.eq(orbix.SetTextureAlphaMod(tex, 5) < 0, true)
  orbix.DestroyTexture(tex)
  orbix.DestroyTexture(alias)
  orbix.DestroyWindow(win)
end)

t.test("window destroyed before its renderer takes the renderer along", function()
  local win, ren = H.window()
  local tex = orbix.CreateTexture(ren, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, 8, 8)
  orbix.stringRGBA(ren, 0, 0, "gfx cache", 255, 255, 255, 255)
  orbix.DestroyWindow(win)
  t.eq(orbix.RenderClear(ren) < 0, true, "renderer is empty")
  t.eq(orbix.stringRGBA(ren, 0, 0, "x", 1, 1, 1, 1), -1)
  t.eq(select(5, orbix.QueryTexture(tex)) < 0, true, "texture is empty")
  orbix.DestroyRenderer(ren)
  ren, tex = nil, nil
  H.gc()
  -- The glyph cache was reset with the renderer: a new renderer draws text.
  local w2, r2 = H.window()
  t.eq(orbix.stringRGBA(r2, 0, 0, "ok", 255, 255, 255, 255), 0)
  orbix.DestroyWindow(w2)
end)

t.test("GetRenderTarget aliases: released or collected in any order", function()
  local win, ren = H.window()
  local tex = H.target(ren, 8, 8)
  local a1, a2 = orbix.GetRenderTarget(ren), orbix.GetRenderTarget(ren)
  t.truthy(a1 ~= tex and a1 ~= a2, "fresh handles")
  -- Releasing an alias does not destroy the texture it refers to.
  orbix.DestroyTexture(a1)
  a2 = nil
  H.gc()
  t.eq(select(5, orbix.QueryTexture(tex)), 0, "texture alive")
  t.eq(orbix.RenderClear(ren), 0)
  -- Releasing the owner empties the remaining aliases.
  local a3 = orbix.GetRenderTarget(ren)
  orbix.DestroyTexture(tex)
  t.eq(select(5, orbix.QueryTexture(a3)) < 0, true, "alias emptied")
  t.eq(orbix.GetRenderTarget(ren), nil, "SDL dropped the destroyed target")
  -- Owner collected before alias and the reverse.
  for _, alias_first in ipairs { true, false } do
    local tx = H.target(ren, 8, 8)
    local al = orbix.GetRenderTarget(ren)
    if alias_first then al = nil else tx = nil end
    H.gc()
    if alias_first then tx = nil else al = nil end
    H.gc()
  end
  orbix.DestroyWindow(win)
end)

t.test("window surface handles: FreeSurface leaves the surface to the window", function()
  local win, ren = H.window()
  orbix.DestroyRenderer(ren)
  local s1 = orbix.GetWindowSurface(win)
  local w, h = orbix.getSurfaceWidthHeight(s1)
  t.eq(w, 64)
  orbix.FreeSurface(s1)
  orbix.FreeSurface(s1)
  local s2 = orbix.GetWindowSurface(win)
  t.eq(orbix.surface_fill_rect(s2, nil, 10, 20, 30, 255), 0)
  t.eq(orbix.UpdateWindowSurface(win), 0)
  local sr = orbix.CreateSoftwareRenderer(s2)
  t.truthy(sr, "software renderer on the window surface")
  orbix.DestroyWindow(win)
  t.raises(function() orbix.getSurfaceWidthHeight(s2) end, "surface has been freed")
  t.eq(orbix.RenderClear(sr) < 0, true, "its software renderer went with it")
  s1, s2, sr = nil, nil, nil
  H.gc()
end)

t.test("a resize empties window surface handles before SDL frees the old surface", function()
  local win, ren = H.window()
  local s = orbix.GetWindowSurface(win)
  local sr = orbix.CreateSoftwareRenderer(s)
  orbix.SetWindowSize(win, 96, 80)
  -- The window's own renderer fetches the new surface on its next draw,
  -- which frees the old one inside SDL without any call of ours.
  t.eq(orbix.RenderClear(ren), 0)
  t.raises(function() orbix.getSurfaceWidthHeight(s) end, "surface has been freed")
  t.raises(function() orbix.get_surface_rgba(s, 0, 0) end, "surface has been freed")
  t.eq(orbix.RenderClear(sr) < 0, true, "its software renderer went with it")
  local s2 = orbix.GetWindowSurface(win)
  t.eq(select(1, orbix.getSurfaceWidthHeight(s2)), 96)
  orbix.FreeSurface(s)
  orbix.DestroyWindow(win)
  s, s2, sr = nil, nil, nil
  H.gc()
end)

t.test("software renderer keeps its surface alive", function()
  local s = orbix.CreateRGBSurfaceWithFormat(0, 16, 16, 32, orbix.PIXELFORMAT_RGBA32)
  local r = orbix.CreateSoftwareRenderer(s)
  local view = s
  orbix.FreeSurface(s)
  t.eq(orbix.SetRenderDrawColor(r, 1, 2, 3, 4), 0)
  t.eq(orbix.RenderClear(r), 0, "still draws into the surface")
  local tex = orbix.CreateTexture(r, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_STATIC, 2, 2)
  r = nil
  H.gc()
  t.eq(select(5, orbix.QueryTexture(tex)) < 0, true)
  view, tex = nil, nil
  H.gc()
end)

t.test("Quit before handles: every later release is harmless", function()
  local win, ren = H.window()
  local tex = H.target(ren, 8, 8)
  local alias = orbix.GetRenderTarget(ren)
  local surf = orbix.CreateRGBSurfaceWithFormat(0, 8, 8, 32, orbix.PIXELFORMAT_RGBA32)
  local ws_win, ws_ren = H.window()
  local ws = orbix.GetWindowSurface(ws_win)
  orbix.Quit()
  t.eq(orbix.RenderClear(ren) < 0, true)
  -- Surfaces are plain memory and stay usable.
  t.eq(orbix.surface_fill_rect(surf, nil, 1, 2, 3, 4), 0)
  orbix.DestroyTexture(alias)
  orbix.DestroyWindow(win)
  orbix.DestroyTexture(tex)
  orbix.DestroyRenderer(ren)
  orbix.FreeSurface(ws)
  win, ren, tex, alias, surf, ws, ws_win, ws_ren = nil
  H.gc()
  H.init()
end)

t.test("wrong handle types name the expected metatable", function()
  local s = orbix.CreateRGBSurface(0, 2, 2, 32, 0, 0, 0, 0)
  t.raises(function() orbix.DestroyWindow(nil) end, "orbix_window expected")
  t.raises(function() orbix.DestroyWindow(s) end, "orbix_window expected")
  t.raises(function() orbix.DestroyRenderer(s) end, "orbix_renderer expected")
  t.raises(function() orbix.DestroyTexture(s) end, "orbix_texture expected")
  t.raises(function() orbix.FreeSurface({}) end, "orbix_surface expected")
  -- lua_towindow tolerates anything that is not a userdata.
  orbix.SetWindowTitle(nil, "x")
  orbix.SetWindowTitle(5, "x")
  orbix.SetWindowTitle("w", "x")
  t.raises(function() orbix.SetWindowTitle(s, "x") end, "orbix_window expected")
end)

t.done()
