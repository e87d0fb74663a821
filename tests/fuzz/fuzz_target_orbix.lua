-- orbix under the argument fuzzer: all 110 functions, a pool of live and
-- released handles of every type that is rebuilt every few hundred calls
-- (the old pool goes to the collector), and trap tables whose metamethods
-- release pool objects or collect while a binding reads them.
--
-- Arguments the fuzzer changes before a call, so that a call cannot block
-- for long or ask for gigabytes (neither is a fault of the module):
--   Delay               a delay above 3 ms becomes 1 ms
--   setFramerate        rates 1 to 99 become 200 (framerateDelay then waits <= 10 ms)
--   surface, texture and window sizes   w * h above 4 Mpixels: both taken modulo 1024
--   zoomSurface         factors giving more than 4 Mpixels become 2
--   TTF_OpenFont        point sizes above 400 become 24
--   Mix_OpenAudio       frequencies 1 to 7999 become 8000, and buffers longer
--                       than 100 ms 512 samples (the dummy audio driver sleeps
--                       a whole buffer's time, and closing the device waits)
--   ShowSimpleMessageBox  only without a display (SDL then fails at once);
--                        skipped when DISPLAY or WAYLAND_DISPLAY is set
local fv = require "fuzzvalues"
local o = require "orbix"

local T = {}
local rng  -- the target's own generator (pool choices, hook actions)

local function write_wav(name, seconds)
  local rate, samples = 8000, {}
  for i = 0, math.floor(rate * seconds) - 1 do
    samples[#samples + 1] = string.pack("<i2", (i // 20) % 2 == 0 and 8000 or -8000)
  end
  local data = table.concat(samples)
  local f = assert(io.open(name, "wb"))
  f:write(string.pack("<c4I4c4", "RIFF", 36 + #data, "WAVE"))
  f:write(string.pack("<c4I4I2I2I4I4I2I2", "fmt ", 16, 1, 1, rate, rate * 2, 2, 16))
  f:write(string.pack("<c4I4", "data", #data), data)
  f:close()
  return name
end

local function find_font()
  local candidates = {
    os.getenv("ORBIX_TEST_FONT"),
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "Z:/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
  }
  for _, p in pairs(candidates) do
    local f = p and io.open(p, "rb")
    if f then
      f:close()
      return p
    end
  end
  return "missing-font.ttf"
end

local files = {}
local kinds_of = {
  window = "orbix_window", renderer = "orbix_renderer", texture = "orbix_texture", surface = "orbix_surface",
  music = "orbix_music", chunk = "orbix_soundchunk", font = "orbix_font", fps = "orbix_frameratemanager",
  controller = "orbix_gamecontroller",
}
local pool        -- kind -> list of handles
local all_handles -- flat list of pool handles
local null_ud     -- a light userdata with address 0 (from GameControllerGetJoystick)

local function kind_of(v)
  if type(v) ~= "userdata" then return nil end
  local mt = getmetatable(v)
  local name = type(mt) == "table" and rawget(mt, "__name") or nil
  for k, n in pairs(kinds_of) do
    if n == name then return k end
  end
  return nil
end

local function add(kind, h)
  if h == nil then return end
  local list = pool[kind]
  if #list >= 24 then list[rng:range(1, #list)] = h else list[#list + 1] = h end
  all_handles[#all_handles + 1] = h
  if #all_handles > 200 then table.remove(all_handles, 1) end
end

-- Releases a handle through its type's release routine, which is also what
-- the collector calls (fonts, managers and controllers have no other).
local function release(h)
  local mt = getmetatable(h)
  if type(mt) == "table" and type(rawget(mt, "__gc")) == "function" then mt.__gc(h) end
end

local function build_pool()
  pool, all_handles = {}, {}
  for k in pairs(kinds_of) do pool[k] = {} end
  o.Init(o.INIT_VIDEO | o.INIT_AUDIO | o.INIT_EVENTS | o.INIT_TIMER | o.INIT_JOYSTICK | o.INIT_GAMECONTROLLER)
  o.IMG_Init(o.IMG_INIT_PNG)
  o.TTF_Init()
  o.Mix_OpenAudio(22050, o.AUDIO_S16, 2, 512)

  local w1, r1 = o.CreateWindowAndRenderer(64, 48, 0)
  local w2, r2 = o.CreateWindowAndRenderer(32, 24, 0)
  o.DestroyRenderer(r2)  -- a window without renderer has a window surface
  local ws = o.GetWindowSurface(w2)
  add("window", w1); add("window", w2); add("renderer", r1); add("renderer", r2); add("surface", ws)

  local s32 = o.CreateRGBSurfaceWithFormat(0, 16, 16, 32, o.PIXELFORMAT_RGBA32)
  local s8 = o.CreateRGBSurfaceWithFormat(0, 16, 16, 8, o.PIXELFORMAT_INDEX8)
  local s16 = o.CreateRGBSurface(0, 8, 8, 16, 0xF800, 0x7E0, 0x1F, 0)
  local s24 = o.CreateRGBSurface(0, 9, 7, 24, 0xFF0000, 0xFF00, 0xFF, 0)
  local s0 = o.CreateRGBSurfaceWithFormat(0, 0, 0, 32, o.PIXELFORMAT_RGBA32)
  local target = o.CreateRGBSurfaceWithFormat(0, 20, 20, 32, o.PIXELFORMAT_RGBA32)
  for _, s in ipairs({ s32, s8, s16, s24, s0, target }) do add("surface", s) end
  add("surface", o.IMG_Load(files.png))
  local sr = o.CreateSoftwareRenderer(target)
  add("renderer", sr)
  add("renderer", o.CreateSoftwareRenderer(ws))

  local tt = o.CreateTexture(r1, o.PIXELFORMAT_RGBA32, o.TEXTUREACCESS_TARGET, 32, 32)
  add("texture", tt)
  add("texture", o.CreateTexture(r1, o.PIXELFORMAT_RGBA32, o.TEXTUREACCESS_STATIC, 16, 16))
  add("texture", o.CreateTexture(r1, o.PIXELFORMAT_RGBA32, o.TEXTUREACCESS_STREAMING, 8, 8))
  if sr then add("texture", o.CreateTextureFromSurface(sr, s24)) end
  o.SetRenderTarget(r1, tt)
  add("texture", o.GetRenderTarget(r1))
  o.SetRenderTarget(r1, nil)

  local font = o.TTF_OpenFont(files.font, 12)
  add("font", font)
  if font then add("surface", o.TTF_RenderText_Solid(font, "fuzz", { 255, 255, 255, 255 })) end
  add("music", o.Mix_LoadMUS(files.wav))
  add("chunk", o.Mix_LoadWAV(files.wav))
  local fps = o.initFramerate()
  o.setFramerate(fps, 200)
  add("fps", fps)
  local ctl = o.GameControllerOpen(0)  -- no device here: an empty handle
  add("controller", ctl)
  null_ud = o.GameControllerGetJoystick(ctl)

  -- One released handle of every type.
  local dw, dr = o.CreateWindowAndRenderer(8, 8, 0)
  local dead = {
    dw, dr, o.CreateTexture(r1, o.PIXELFORMAT_RGBA32, o.TEXTUREACCESS_STATIC, 4, 4),
    o.CreateRGBSurfaceWithFormat(0, 4, 4, 32, o.PIXELFORMAT_RGBA32), o.Mix_LoadMUS(files.wav),
    o.Mix_LoadWAV(files.wav), o.TTF_OpenFont(files.font, 10), o.initFramerate(), o.GameControllerOpen(0),
  }
  for i = 1, 9 do
    local h = dead[i]
    if h then
      release(h)
      add(kind_of(h), h)
    end
  end
end

-- --- argument kinds --------------------------------------------------------

local function handle_of(kind)
  return function(g)
    local r = g.rng
    if r:chance(0.85) then
      local list = pool[kind]
      if #list > 0 then return r:pick(list) end
    end
    if r:chance(0.5) and #all_handles > 0 then return r:pick(all_handles) end
    return g:any()
  end
end

local function coord(g)
  local r = g.rng
  if r:chance(0.7) then return r:range(-20, 100) end
  return g:number()
end

local function channel8(g)
  local r = g.rng
  if r:chance(0.7) then return r:range(0, 255) end
  return g:number()
end

local function path_in(g)
  local r = g.rng
  if r:chance(0.5) then return r:pick({ files.png, files.wav, files.font, "missing.png", files.png .. "\0x" }) end
  return g:string()
end

local function path_out(g)
  local r = g.rng
  if r:chance(0.5) then return r:pick({ "out.png", "sub/out.png", "" }) end
  return g:string()
end

local function pick_or(list)
  return function(g)
    if g.rng:chance(0.6) then return g.rng:pick(list) end
    return g:int_like()
  end
end

T.kinds = {
  window = handle_of("window"), renderer = handle_of("renderer"), texture = handle_of("texture"),
  surface = handle_of("surface"), music = handle_of("music"), chunk = handle_of("chunk"),
  font = handle_of("font"), fps = handle_of("fps"), controller = handle_of("controller"),
  joystick = function(g) return g.rng:chance(0.8) and null_ud or g:any() end,
  x = coord, c8 = channel8, path = path_in, out = path_out,
  fmt = pick_or({ o.PIXELFORMAT_RGBA32, o.PIXELFORMAT_INDEX8, 0, 0x16362004, 0x32315659 }),
  access = pick_or({ o.TEXTUREACCESS_STATIC, o.TEXTUREACCESS_STREAMING, o.TEXTUREACCESS_TARGET }),
  blend = pick_or({ 0, 1, 2, 4, 8, 0x7FFFFFFF, 0x0A0A0A0A }),
  depth = pick_or({ 1, 4, 8, 15, 16, 24, 32, 0, 33 }),
  mask = pick_or({ 0, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, 0xF800, 0x7E0, 0x1F, 0xFFFFFFFF }),
  freq = pick_or({ 22050, 44100, 8000, 11025 }),
  zoom = function(g) return g.rng:chance(0.6) and g.rng:range(-8, 8) / 4 or g:number() end,
  colors = function(g)
    local list = {}
    for i = 1, g.rng:range(0, 20) do list[i] = g:color() end
    return g.rng:chance(0.8) and list or g:table()
  end,
}
T.lengths = { 31, 32 }  -- the text of a text-input event
T.handles = function() return all_handles end

-- --- guards ----------------------------------------------------------------

-- The integer a binding reads (auxiliary library rules), or nil.
local function int_of(v)
  if type(v) ~= "number" and type(v) ~= "string" then return nil end
  return math.tointeger(tonumber(v))
end
local function low32s(v) return ((v & 0xFFFFFFFF) ~ 0x80000000) - 0x80000000 end

local kPixelBudget = 1 << 22
local function size_guard(i, j)
  return function(args)
    local w, h = int_of(args[i]), int_of(args[j])
    if not (w and h) then return end
    local ew, eh = math.max(low32s(w), 1), math.max(low32s(h), 1)
    if ew * eh > kPixelBudget then
      args[i], args[j] = low32s(w) % 1024, low32s(h) % 1024
    end
  end
end

local display = (os.getenv("DISPLAY") or "") ~= "" or (os.getenv("WAYLAND_DISPLAY") or "") ~= ""

local guards = {
  Delay = function(args)
    local v = int_of(args[1])
    if v and (v & 0xFFFFFFFF) > 3 then args[1] = 1 end
  end,
  setFramerate = function(args)
    local v = int_of(args[2])
    if v and (v & 0xFFFFFFFF) >= 1 and (v & 0xFFFFFFFF) < 100 then args[2] = 200 end
  end,
  CreateWindowAndRenderer = size_guard(1, 2),
  SetWindowSize = size_guard(2, 3),
  CreateTexture = size_guard(4, 5),
  CreateRGBSurface = size_guard(2, 3),
  CreateRGBSurfaceWithFormat = size_guard(2, 3),
  zoomSurface = function(args)
    if kind_of(args[1]) ~= "surface" then return end
    local ok, w, h = pcall(o.getSurfaceWidthHeight, args[1])
    if not ok then return end
    local function scaled(size, z)
      z = tonumber(z)
      if not z then return 1 end
      z = math.abs(z)
      if z < 0.001 then z = 0.001 end
      local d = math.floor(size * z + 0.5)
      if d ~= d or d >= 2 ^ 31 or d < 1 then return 1 end
      return d
    end
    if scaled(w, args[2]) * scaled(h, args[3]) > kPixelBudget then args[2], args[3] = 2.0, 2.0 end
  end,
  TTF_OpenFont = function(args)
    local v = int_of(args[2])
    if v and low32s(v) > 400 then args[2] = 24 end
  end,
  ShowSimpleMessageBox = function() if display then return false end end,
  Mix_OpenAudio = function(args)
    -- SDL's dummy audio driver sleeps samples * 1000 / frequency ms per
    -- buffer, and closing the device waits for that sleep.
    local v = int_of(args[1])
    if v and low32s(v) > 0 and low32s(v) < 8000 then args[1] = 8000 end
    local freq, samples = int_of(args[1]), int_of(args[4])
    if freq and samples and low32s(freq) > 0 and (samples & 0xFFFF) * 1000 // low32s(freq) > 100 then
      args[4] = 512
    end
  end,
}

-- --- functions and their argument shapes ------------------------------------

local signatures = {
  poll = {}, Init = { "i" }, CreateWindowAndRenderer = { "i", "i", "i" },
  SetWindowTitle = { "window", "s" }, SetWindowIcon = { "window", "surface" }, SetWindowFullscreen = { "window", "i" },
  DestroyRenderer = { "renderer" }, DestroyWindow = { "window" }, Quit = {},
  SetRenderDrawColor = { "renderer", "i", "i", "i", "i" }, GetRenderDrawColor = { "renderer" },
  RenderClear = { "renderer" }, RenderPresent = { "renderer" }, ShowSimpleMessageBox = { "i", "s", "s", "window" },
  GetError = {}, CreateSoftwareRenderer = { "surface" }, SetWindowSize = { "window", "i", "i" },
  GetWindowSize = { "window" }, GetRenderTarget = { "renderer" }, SetRenderTarget = { "renderer", "texture" },
  RenderSetScale = { "renderer", "n", "n" }, GetTicks = {}, HasClipboardText = {}, GetClipboardText = {},
  SetClipboardText = { "s" }, RenderFillRect = { "renderer", "r" }, RenderDrawPoint = { "renderer", "x", "x" },
  RenderDrawLine = { "renderer", "x", "x", "x", "x" }, RenderIsClipEnabled = { "renderer" },
  RenderSetClipRect = { "renderer", "r" }, RenderGetClipRect = { "renderer" }, Delay = { "i" },
  SetRenderDrawBlendMode = { "renderer", "blend" }, GetRenderDrawBlendMode = { "renderer" }, ShowCursor = { "i" },
  GetRelativeMouseMode = {}, SetRelativeMouseMode = { "b" },
  CreateTextureFromSurface = { "renderer", "surface" }, RenderCopy = { "renderer", "texture", "r", "r" },
  DestroyTexture = { "texture" }, save_texture_to_PNG = { "out", "renderer", "texture" },
  CreateTexture = { "renderer", "fmt", "access", "i", "i" },
  RenderCopyEx = { "renderer", "texture", "r", "r", "n", "p", "i" }, SetTextureAlphaMod = { "texture", "i" },
  SetTextureScaleMode = { "texture", "i" }, texture_to_surface = { "renderer", "texture" },
  QueryTexture = { "texture" }, SetTextureBlendMode = { "texture", "blend" }, GetTextureBlendMode = { "texture" },
  IMG_Init = { "i" }, FreeSurface = { "surface" }, IMG_Load = { "path" }, IMG_Quit = {},
  IMG_SavePNG = { "surface", "out" }, getColors = { "surface" }, setColors = { "surface", "colors" },
  getSurfaceWidthHeight = { "surface" }, MapRGB = { "surface", "i", "i", "i" }, SetColorKey = { "surface", "b", "i" },
  GetWindowSurface = { "window" }, UpdateWindowSurface = { "window" },
  BlitSurface = { "surface", "r", "surface", "r" },
  CreateRGBSurface = { "i", "i", "i", "depth", "mask", "mask", "mask", "mask" },
  CreateRGBSurfaceWithFormat = { "i", "i", "i", "depth", "fmt" },
  surface_fill_rect = { "surface", "r", "i", "i", "i", "i" }, get_surface_rgba = { "surface", "x", "x" },
  set_surface_rgba = { "surface", "x", "x", "i", "i", "i", "i" }, SetSurfaceBlendMode = { "surface", "blend" },
  GetSurfaceBlendMode = { "surface" }, zoomSurface = { "surface", "zoom", "zoom", "b" },
  Mix_OpenAudio = { "freq", "i", "i", "i" }, Mix_LoadMUS = { "path" }, Mix_PlayMusic = { "music", "i" },
  Mix_PlayChannel = { "i", "chunk", "i" }, Mix_LoadWAV = { "path" }, Mix_FreeChunk = { "chunk" },
  Mix_FreeMusic = { "music" }, Mix_CloseAudio = {}, Mix_Quit = {}, Mix_FadeOutMusic = { "i" }, Mix_HaltMusic = {},
  TTF_Init = {}, initFramerate = {}, setFramerate = { "fps", "i" }, framerateDelay = { "fps" }, NumJoysticks = {},
  GameControllerOpen = { "i" }, TTF_OpenFont = { "path", "i" }, TTF_RenderText_Solid = { "font", "s", "c" },
  TTF_RenderText_Blended_Wrapped = { "font", "s", "c", "i" }, TTF_SizeText = { "font", "s" },
  JoystickRumble = { "joystick", "i", "i", "i" }, GameControllerGetJoystick = { "controller" },
  stringRGBA = { "renderer", "x", "x", "s", "c8", "c8", "c8", "c8" },
}
-- The drawing primitives: renderer, then coordinates, then four colour bytes.
local primitive_coords = {
  pixelRGBA = 2, hlineRGBA = 3, vlineRGBA = 3, rectangleRGBA = 4, boxRGBA = 4, lineRGBA = 4, aalineRGBA = 4,
  roundedRectangleRGBA = 5, roundedBoxRGBA = 5, thickLineRGBA = 5, circleRGBA = 3, aacircleRGBA = 3,
  filledcircleRGBA = 3, ellipseRGBA = 4, aaellipseRGBA = 4, filledellipseRGBA = 4,
}
for name, n in pairs(primitive_coords) do
  local sig = { "renderer" }
  for _ = 1, n do sig[#sig + 1] = "x" end
  for _ = 1, 4 do sig[#sig + 1] = "c8" end
  signatures[name] = sig
end

T.functions = {}
for name, fn in pairs(o) do
  if type(fn) == "function" then
    T.functions[#T.functions + 1] = { name = name, fn = fn, sig = signatures[name], guard = guards[name] }
  end
end
table.sort(T.functions, function(a, b) return a.name < b.name end)
for _, f in ipairs(T.functions) do assert(f.sig, "no argument shape for " .. f.name) end
assert(#T.functions == 110, "orbix has " .. #T.functions .. " functions")

-- --- pool life -------------------------------------------------------------

-- Run by trap tables from inside a binding's argument reading.
T.hook = function()
  local c = rng:below(100)
  if c < 50 then
    if #all_handles > 0 then release(rng:pick(all_handles)) end
  elseif c < 75 then
    collectgarbage()
  elseif c < 90 then
    -- drop a pool entry so that the collector releases it
    local k = rng:pick({ "window", "renderer", "texture", "surface", "font", "controller" })
    if #pool[k] > 0 then table.remove(pool[k], rng:range(1, #pool[k])) end
    all_handles = {}
    collectgarbage()
  elseif c < 95 then
    o.Mix_CloseAudio()
  elseif c < 98 then
    o.Mix_Quit()
  else
    o.Quit()
  end
end

function T.setup(seed)
  rng = fv.rng(seed ~ 0x0B1D)
  files.wav = write_wav("fuzz.wav", 0.2)
  files.font = find_font()
  local s = o.CreateRGBSurfaceWithFormat(0, 8, 8, 32, o.PIXELFORMAT_RGBA32)
  o.surface_fill_rect(s, nil, 10, 200, 30, 255)
  files.png = "fuzz.png"
  o.IMG_SavePNG(s, files.png)
  o.FreeSurface(s)
  build_pool()
  T.extras = { null_ud }
  return T
end

-- Objects that calls return join the pool (until the next rebuild).
function T.adopt(name, res)
  for i = 2, res.n do
    local k = kind_of(res[i])
    if k then
      if k == "fps" then o.setFramerate(res[i], 200) end
      add(k, res[i])
    end
  end
  if name == "Quit" and rng:chance(0.5) then build_pool() end
end

function T.tick(calls)
  if calls % 250 == 0 then
    build_pool()
    if calls % 1000 == 0 then collectgarbage() end
  end
end

function T.finish()
  pool, all_handles = nil, {}
  collectgarbage()
  o.Mix_Quit()
  o.Mix_CloseAudio()
  o.Quit()
  collectgarbage()
end

return T
