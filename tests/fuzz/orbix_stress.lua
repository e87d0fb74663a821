-- Handle-lifetime stress for orbix: random sequences of creating windows,
-- renderers, textures, surfaces, fonts, chunks, music, controllers (virtual
-- pads from the runner) and frame-rate managers, releasing them explicitly,
-- dropping them for the collector, shutting subsystems down and collecting
-- in between. After every sequence each held handle is used once, so a
-- handle that outlived its object shows up under the sanitizers.
--   ORBIX_STRESS_SEED (printed; default random), ORBIX_STRESS_SEQUENCES (default 2000)
local fv = require "fuzzvalues"
local o = require "orbix"

local seed = fv.seed_from_env("ORBIX_STRESS_SEED")
local sequences = math.tointeger(tonumber(os.getenv("ORBIX_STRESS_SEQUENCES") or "")) or 2000
print(string.format("orbix stress: seed %d (replay with ORBIX_STRESS_SEED=%d)", seed, seed))
io.stdout:flush()
local rng = fv.rng(seed)

local function write_wav(name)
  local samples = {}
  for i = 0, 799 do samples[#samples + 1] = string.pack("<i2", (i // 20) % 2 == 0 and 6000 or -6000) end
  local data = table.concat(samples)
  local f = assert(io.open(name, "wb"))
  f:write(string.pack("<c4I4c4", "RIFF", 36 + #data, "WAVE"))
  f:write(string.pack("<c4I4I2I2I4I4I2I2", "fmt ", 16, 1, 1, 8000, 16000, 2, 16))
  f:write(string.pack("<c4I4", "data", #data), data)
  f:close()
  return name
end
local WAV = write_wav("stress.wav")
local FONT = os.getenv("ORBIX_TEST_FONT") or "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

local held = {}  -- kind -> list of handles
local kinds = { "window", "renderer", "texture", "surface", "font", "chunk", "music", "controller", "fps" }
for _, k in ipairs(kinds) do held[k] = {} end
local pads = {}
local counts = { created = 0, released = 0, dropped = 0, collections = 0, quits = 0, pads = 0 }

local function keep(kind, h)
  if h == nil then return end
  local list = held[kind]
  list[#list + 1] = h
  counts.created = counts.created + 1
  if #list > 12 then table.remove(list, 1) end  -- the oldest goes to the collector
end
local function some(kind)
  local list = held[kind]
  if #list == 0 then return nil end
  return list[rng:range(1, #list)]
end

local function init_all()
  o.Init(o.INIT_VIDEO | o.INIT_AUDIO | o.INIT_EVENTS | o.INIT_JOYSTICK | o.INIT_GAMECONTROLLER)
  o.TTF_Init()
  o.Mix_OpenAudio(22050, o.AUDIO_S16, 2, 512)
end

local actions = {
  function()  -- window and renderer
    local w, r = o.CreateWindowAndRenderer(rng:range(1, 64), rng:range(1, 64), 0)
    keep("window", w); keep("renderer", r)
  end,
  function()  -- texture on some renderer
    local r = some("renderer")
    if r then keep("texture", o.CreateTexture(r, o.PIXELFORMAT_RGBA32, rng:pick({ 0, 1, 2 }), rng:range(1, 32), 8)) end
  end,
  function()
    local r, s = some("renderer"), some("surface")
    if r and s then keep("texture", o.CreateTextureFromSurface(r, s)) end
  end,
  function() keep("surface", o.CreateRGBSurfaceWithFormat(0, rng:range(0, 24), rng:range(0, 24), 32, o.PIXELFORMAT_RGBA32)) end,
  function() keep("surface", o.CreateRGBSurfaceWithFormat(0, 16, 16, 8, o.PIXELFORMAT_INDEX8)) end,
  function()  -- a window's own surface (needs a window without renderer)
    local w = some("window")
    if w then keep("surface", o.GetWindowSurface(w)) end
  end,
  function()  -- software renderer on a surface
    local s = some("surface")
    if s then keep("renderer", o.CreateSoftwareRenderer(s)) end
  end,
  function()  -- a target texture, and a second handle of it from GetRenderTarget
    local r, t = some("renderer"), some("texture")
    if r and t and o.SetRenderTarget(r, t) == 0 then keep("texture", o.GetRenderTarget(r)) end
  end,
  function()
    local w = some("window")
    if w then o.SetWindowSize(w, rng:range(1, 80), rng:range(1, 80)) end
  end,
  function() keep("font", o.TTF_OpenFont(FONT, rng:range(6, 30))) end,
  function()
    local f = some("font")
    if f then keep("surface", o.TTF_RenderText_Solid(f, "stress", { 255, 255, 255, 255 })) end
  end,
  function() keep("chunk", o.Mix_LoadWAV(WAV)) end,
  function() keep("music", o.Mix_LoadMUS(WAV)) end,
  function()
    local c = some("chunk")
    if c then o.Mix_PlayChannel(-1, c, rng:range(-1, 2)) end
  end,
  function()
    local m = some("music")
    if m then o.Mix_PlayMusic(m, rng:range(-1, 1)) end
  end,
  function() keep("fps", o.initFramerate()) end,
  function()
    if #pads < 3 then
      local d = attach_pad()
      if d then pads[#pads + 1] = d; counts.pads = counts.pads + 1 end
    end
  end,
  function()
    if #pads > 0 then detach_pad(table.remove(pads, rng:range(1, #pads))) end
  end,
  function() keep("controller", o.GameControllerOpen(rng:range(0, math.max(0, o.NumJoysticks() - 1)))) end,
  function()  -- explicit release of anything (the type's release routine, as __gc)
    local k = rng:pick(kinds)
    local h = some(k)
    if h then getmetatable(h).__gc(h); counts.released = counts.released + 1 end
  end,
  function()  -- drop for the collector
    local list = held[rng:pick(kinds)]
    if #list > 0 then table.remove(list, rng:range(1, #list)); counts.dropped = counts.dropped + 1 end
  end,
  function() collectgarbage("step", rng:range(0, 50)); counts.collections = counts.collections + 1 end,
  function() collectgarbage(); counts.collections = counts.collections + 1 end,
  function() o.poll() end,
}
local rare = {
  function() o.Quit(); pads = {}; counts.quits = counts.quits + 1; init_all() end,
  function() o.Mix_Quit(); o.Mix_OpenAudio(22050, o.AUDIO_S16, 2, 512) end,
  function() o.Mix_CloseAudio(); if rng:chance(0.5) then o.Mix_OpenAudio(22050, o.AUDIO_S16, 2, 512) end end,
  function() o.Quit(); counts.quits = counts.quits + 1 end,  -- and go on without SDL for a while
  function() init_all() end,
}

-- Uses every held handle once; empty handles answer with SDL errors.
local function touch_all()
  for _, w in ipairs(held.window) do o.GetWindowSize(w); o.SetWindowTitle(w, "t") end
  for _, r in ipairs(held.renderer) do
    o.SetRenderDrawColor(r, 1, 2, 3, 255); o.RenderClear(r); o.RenderFillRect(r, { 0, 0, 4, 4 })
    o.stringRGBA(r, 0, 0, "x", 255, 255, 255, 255); o.GetRenderTarget(r)
  end
  for _, t in ipairs(held.texture) do
    o.QueryTexture(t)
    local r = some("renderer")
    if r then o.RenderCopy(r, t, nil, nil) end
  end
  for _, s in ipairs(held.surface) do
    if pcall(o.getSurfaceWidthHeight, s) then
      pcall(o.get_surface_rgba, s, 0, 0)
      o.surface_fill_rect(s, nil, 5, 6, 7, 8)
    end
  end
  for _, f in ipairs(held.font) do o.TTF_SizeText(f, "abc") end
  for _, c in ipairs(held.controller) do o.GameControllerGetJoystick(c) end
  for _, m in ipairs(held.fps) do o.setFramerate(m, 200) end
end

init_all()
local started = os.time()
for _ = 1, sequences do
  for _ = 1, rng:range(1, 24) do
    if rng:chance(0.01) then rng:pick(rare)() else rng:pick(actions)() end
  end
  touch_all()
end
for _, k in ipairs(kinds) do held[k] = {} end
collectgarbage()
o.Mix_Quit()
o.Mix_CloseAudio()
o.Quit()
print(string.format("orbix stress: %d sequences, %d objects created, %d released explicitly, %d dropped, "
  .. "%d collections, %d Quit, %d pads attached, %d s", sequences, counts.created, counts.released, counts.dropped,
  counts.collections, counts.quits, counts.pads, os.time() - started))
