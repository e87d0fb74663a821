-- A small game-like orbix sample: move the ship with the arrow keys or by
-- dragging with the left mouse button, fire with space, quit with Escape.
-- Run: lua5.3 orbix_game.lua [frames]   (frames: stop after that many, for screenshots)
local orbix = require "orbix"

local W, H = 480, 320
local max_frames = tonumber(arg and arg[1])

assert(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_EVENTS) == 0, orbix.GetError())
local win, ren, status = orbix.CreateWindowAndRenderer(W, H, 0)
assert(status == 0, orbix.GetError())
orbix.SetWindowTitle(win, "orbix sample")

-- The ship sprite is drawn once into a target texture, then copied each frame.
local ship = orbix.CreateTexture(ren, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, 32, 32)
orbix.SetTextureBlendMode(ship, orbix.BLENDMODE_BLEND)
orbix.SetRenderTarget(ren, ship)
orbix.SetRenderDrawColor(ren, 0, 0, 0, 0)
orbix.RenderClear(ren)
orbix.filledcircleRGBA(ren, 16, 18, 10, 60, 160, 255, 255)
orbix.boxRGBA(ren, 14, 0, 18, 12, 220, 220, 255, 255)
orbix.aacircleRGBA(ren, 16, 18, 10, 255, 255, 255, 255)
orbix.SetRenderTarget(ren, nil)

-- A starfield as a surface turned into a texture.
local sky = orbix.CreateRGBSurfaceWithFormat(0, W, H, 32, orbix.PIXELFORMAT_RGBA32)
orbix.surface_fill_rect(sky, nil, 8, 8, 24, 255)
math.randomseed(7)
for _ = 1, 300 do
  local c = math.random(120, 255)
  orbix.set_surface_rgba(sky, math.random(0, W - 1), math.random(0, H - 1), c, c, c, 255)
end
local sky_tex = orbix.CreateTextureFromSurface(ren, sky)
orbix.FreeSurface(sky)

local x, y, angle = W / 2, H - 60, 0
local held = {}
local shots, score = {}, 0
local rocks = {}
for i = 1, 6 do rocks[i] = { x = 40 + i * 65, y = 40 + (i % 3) * 30, r = 12 + (i % 3) * 4 } end

local running, frame = true, 0
while running do
  for e in orbix.poll do
    if e.type == orbix.QUIT then running = false
    elseif e.type == orbix.KEYDOWN or e.type == orbix.KEYUP then
      held[e.sym] = e.state == orbix.PRESSED
      if e.sym == orbix.K_ESCAPE then running = false end
      if e.sym == orbix.K_SPACE and e.state == orbix.PRESSED and e["repeat"] == 0 then
        shots[#shots + 1] = { x = x, y = y - 16 }
      end
    elseif e.type == orbix.MOUSEMOTION and e.state & orbix.BUTTON_LMASK ~= 0 then
      x, y = x + e.xrel, y + e.yrel
    end
  end
  if held[orbix.K_LEFT] then x = x - 4 end
  if held[orbix.K_RIGHT] then x = x + 4 end
  if held[orbix.K_UP] then y = y - 4 end
  if held[orbix.K_DOWN] then y = y + 4 end
  x = math.max(16, math.min(W - 16, x)); y = math.max(16, math.min(H - 16, y))
  angle = (angle + 3) % 360

  orbix.RenderCopy(ren, sky_tex)
  for _, r in ipairs(rocks) do
    orbix.filledcircleRGBA(ren, r.x, r.y, r.r, 140, 110, 90, 255)
    orbix.aacircleRGBA(ren, r.x, r.y, r.r, 200, 170, 140, 255)
  end
  for i = #shots, 1, -1 do
    local s = shots[i]
    s.y = s.y - 8
    orbix.thickLineRGBA(ren, s.x, s.y, s.x, s.y + 8, 3, 255, 230, 80, 255)
    for _, r in ipairs(rocks) do
      if (s.x - r.x) ^ 2 + (s.y - r.y) ^ 2 < r.r ^ 2 then
        r.y, s.y, score = -100, -100, score + 1
      end
    end
    if s.y < 0 then table.remove(shots, i) end
  end
  orbix.RenderCopyEx(ren, ship, nil, { x - 16, y - 16, 32, 32 }, math.sin(math.rad(angle)) * 10, { 16, 16 },
    orbix.FLIP_NONE)
  orbix.roundedBoxRGBA(ren, 8, 8, 150, 26, 5, 0, 0, 0, 160)
  orbix.stringRGBA(ren, 14, 13, "score " .. score .. "  esc quits", 255, 255, 255, 255)
  orbix.RenderPresent(ren)

  frame = frame + 1
  if max_frames then
    -- Scripted input for unattended runs: fire every 10 frames, drift right.
    if frame % 10 == 1 then shots[#shots + 1] = { x = x, y = y - 16 } end
    held[orbix.K_RIGHT] = frame % 60 < 30
    held[orbix.K_LEFT] = frame % 60 >= 30
    if frame >= max_frames then running = false end
  end
  orbix.Delay(16)
end

orbix.DestroyWindow(win)
orbix.Quit()
