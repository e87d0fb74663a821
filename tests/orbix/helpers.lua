-- Shared set-up for the orbix scripts: SDL on the dummy drivers, a window
-- with its (software) renderer, and pixel read-back of the current target.
local orbix = require "orbix"
local H = {}

function H.init()
  assert(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_EVENTS) == 0, orbix.GetError())
end

function H.window(w, h)
  local win, ren, status = orbix.CreateWindowAndRenderer(w or 64, h or 64, 0)
  assert(status == 0, orbix.GetError())
  return win, ren
end

-- A target texture of the renderer, made current, cleared to transparent black.
function H.target(ren, w, h)
  local tex = orbix.CreateTexture(ren, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, w, h)
  assert(orbix.SetRenderTarget(ren, tex) == 0, orbix.GetError())
  orbix.SetRenderDrawColor(ren, 0, 0, 0, 0)
  orbix.RenderClear(ren)
  return tex
end

-- {r, g, b, a} of pixel (x, y) of the current target of size w x h.
function H.pixel(ren, tex, x, y)
  local s = assert(orbix.texture_to_surface(ren, tex))
  local r, g, b, a = orbix.get_surface_rgba(s, x, y)
  orbix.FreeSurface(s)
  return { r, g, b, a }
end

function H.same(t, got, want, what)
  t.eq(#got, #want, what)
  for i = 1, #want do t.eq(got[i], want[i], (what or "") .. "[" .. i .. "]") end
end

function H.gc()
  collectgarbage()
  collectgarbage()
end

return H
