-- Rock rain: the orbix sample with sound, music, TrueType text, frame pacing
-- and game controllers. Move with the arrow keys, the d-pad or the left stick;
-- fire with space or button A; Escape or Back quits.
--
-- Run: lua5.3 orbix_game_media.lua [frames [shot.png]]
--   frames    stop after that many frames and play by itself (for unattended runs;
--             also read from ORBIX_GAME_FRAMES)
--   shot.png  save the last frame there
-- The font is looked up at run time (ORBIX_FONT, DejaVu Sans from Debian's
-- fonts-dejavu-core, or a Windows font); the sounds are synthesised at start.
local orbix = require "orbix"

local W, H = 480, 360
local FPS = 60
local max_frames = tonumber(arg and arg[1]) or tonumber(os.getenv("ORBIX_GAME_FRAMES"))
local shot_file = arg and arg[2]

assert(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_EVENTS | orbix.INIT_AUDIO | orbix.INIT_GAMECONTROLLER) == 0,
  orbix.GetError())
local win, ren, status = orbix.CreateWindowAndRenderer(W, H, 0)
assert(status == 0, orbix.GetError())
orbix.SetWindowTitle(win, "orbix rock rain")

-- Everything is drawn into one canvas texture, copied to the window each
-- frame; the same canvas is what a screenshot saves.
local canvas = orbix.CreateTexture(ren, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, W, H)

-- Sounds -------------------------------------------------------------------

local RATE = 22050
local tmpdir = os.getenv("TMPDIR") or os.getenv("TEMP") or os.getenv("TMP") or "/tmp"
local written = {}

-- A mono 16-bit WAV from a sample function f(t) -> -1..1 over `seconds`.
local function synth(name, seconds, f)
  local n = math.floor(RATE * seconds)
  local parts = {}
  for i = 0, n - 1 do
    local v = math.max(-1, math.min(1, f(i / RATE, i / n)))
    parts[#parts + 1] = string.pack("<i2", math.floor(v * 14000))
  end
  local data = table.concat(parts)
  local path = string.format("%s/orbix_%s_%d.wav", tmpdir, name, os.time())
  local file = io.open(path, "wb")
  if not file then return nil end
  file:write(string.pack("<c4I4c4c4I4I2I2I4I4I2I2c4I4", "RIFF", 36 + #data, "WAVE", "fmt ", 16, 1, 1, RATE,
    RATE * 2, 2, 16, "data", #data), data)
  file:close()
  written[#written + 1] = path
  return path
end

local function square(t, hz) return (t * hz) % 1 < 0.5 and 1 or -1 end

local laser_wav = synth("laser", 0.15, function(t, p) return square(t, 1400 - 1000 * p) * (1 - p) * 0.5 end)
local boom_wav = synth("boom", 0.4, function(_, p) return (math.random() * 2 - 1) * (1 - p) ^ 2 end)
local notes = { 220, 277, 330, 440, 330, 277, 196, 247, 294, 392, 294, 247 }
local music_wav = synth("music", #notes * 0.25, function(t)
  local i = math.floor(t / 0.25)
  local within = t / 0.25 - i
  return square(t, notes[i + 1]) * 0.18 * (1 - within * 0.8) + math.sin(2 * math.pi * 55 * t) * 0.15
end)

local audio = orbix.Mix_OpenAudio(RATE, orbix.AUDIO_S16, 2, 1024) == 0
local laser = audio and laser_wav and orbix.Mix_LoadWAV(laser_wav)
local boom = audio and boom_wav and orbix.Mix_LoadWAV(boom_wav)
local music = audio and music_wav and orbix.Mix_LoadMUS(music_wav)
if music then orbix.Mix_PlayMusic(music, -1) end

local function play(chunk)
  if chunk then orbix.Mix_PlayChannel(-1, chunk, 0) end
end

-- Text ---------------------------------------------------------------------

local function find_font()
  local windir = os.getenv("WINDIR") or "C:/Windows"
  for _, path in ipairs {
    os.getenv("ORBIX_FONT") or "",
    "DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "Z:/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    windir .. "/Fonts/DejaVuSans.ttf",
    windir .. "/Fonts/arial.ttf",
    windir .. "/Fonts/segoeui.ttf",
  } do
    local f = path ~= "" and io.open(path, "rb")
    if f then
      f:close()
      return path
    end
  end
end

assert(orbix.TTF_Init() == 0, orbix.GetError())
local font_path = find_font()
local font = font_path and orbix.TTF_OpenFont(font_path, 18)
local big_font = font_path and orbix.TTF_OpenFont(font_path, 34)

-- A text texture with its size; nil without a font (the game still runs).
local function text_texture(f, text, color, wrap)
  if not f then return nil end
  local s = wrap and orbix.TTF_RenderText_Blended_Wrapped(f, text, color, wrap)
    or orbix.TTF_RenderText_Solid(f, text, color)
  if not s then return nil end
  local w, h = orbix.getSurfaceWidthHeight(s)
  local tex = orbix.CreateTextureFromSurface(ren, s)
  orbix.FreeSurface(s)
  return { tex = tex, w = w, h = h }
end

local function draw_text(t, x, y)
  if t then orbix.RenderCopy(ren, t.tex, nil, { x, y, t.w, t.h }) end
end

local title = text_texture(big_font, "ROCK RAIN", { 255, 210, 90, 255 })
local help = text_texture(font, "Arrows or stick move, space or A fires. Escape quits.", { 200, 220, 255, 255 }, 220)
local label_cache = {}
local function label(text)
  local t = label_cache[text]
  if not t then
    t = text_texture(font, text, { 255, 255, 255, 255 })
    label_cache[text] = t
  end
  return t
end

-- Controllers --------------------------------------------------------------

-- SDL reports every controller present at start-up, and each one plugged in
-- later, with CONTROLLERDEVICEADDED; the handles stay referenced here.
local pads = {}
local function rumble()
  for _, pad in ipairs(pads) do orbix.JoystickRumble(orbix.GameControllerGetJoystick(pad), 0x8000, 0xC000, 150) end
end

-- Game ---------------------------------------------------------------------

math.randomseed(11)
local stars = {}
for i = 1, 120 do stars[i] = { x = math.random(0, W - 1), y = math.random(0, H - 1), v = math.random(1, 3) } end

local ship = { x = W / 2, y = H - 40 }
local held, stick_x, stick_y = {}, 0, 0
local shots, rocks, sparks = {}, {}, {}
local score, lives = 0, 3

local function spawn_rock()
  rocks[#rocks + 1] = { x = math.random(20, W - 20), y = -20, r = math.random(10, 22), v = math.random(10, 30) / 10 }
end

local function fire()
  if #shots < 6 then
    shots[#shots + 1] = { x = ship.x, y = ship.y - 18 }
    play(laser)
  end
end

local fps = orbix.initFramerate()
orbix.setFramerate(fps, FPS)
local frame_ms, running, frame = 1000 / FPS, true, 0

while running do
  for e in orbix.poll do
    if e.type == orbix.QUIT then
      running = false
    elseif e.type == orbix.KEYDOWN or e.type == orbix.KEYUP then
      held[e.sym] = e.state == orbix.PRESSED
      if e.sym == orbix.K_ESCAPE then running = false end
      if e.sym == orbix.K_SPACE and e.state == orbix.PRESSED and e["repeat"] == 0 then fire() end
    elseif e.type == orbix.CONTROLLERBUTTONDOWN or e.type == orbix.CONTROLLERBUTTONUP then
      held["pad" .. e.button] = e.state == orbix.PRESSED
      if e.state == orbix.PRESSED and e.button == orbix.CONTROLLER_BUTTON_A then fire() end
      if e.button == orbix.CONTROLLER_BUTTON_BACK then running = false end
    elseif e.type == orbix.CONTROLLERAXISMOTION then
      if e.axis == orbix.CONTROLLER_AXIS_LEFTX then stick_x = e.value / 32768 end
      if e.axis == orbix.CONTROLLER_AXIS_LEFTY then stick_y = e.value / 32768 end
    elseif e.type == orbix.CONTROLLERDEVICEADDED then
      pads[#pads + 1] = orbix.GameControllerOpen(e.which)
    end
  end

  -- Movement
  local dx, dy = stick_x, stick_y
  if math.abs(dx) < 0.2 then dx = 0 end
  if math.abs(dy) < 0.2 then dy = 0 end
  if held[orbix.K_LEFT] or held["pad" .. orbix.CONTROLLER_BUTTON_DPAD_LEFT] then dx = -1 end
  if held[orbix.K_RIGHT] or held["pad" .. orbix.CONTROLLER_BUTTON_DPAD_RIGHT] then dx = 1 end
  if held[orbix.K_UP] or held["pad" .. orbix.CONTROLLER_BUTTON_DPAD_UP] then dy = -1 end
  if held[orbix.K_DOWN] or held["pad" .. orbix.CONTROLLER_BUTTON_DPAD_DOWN] then dy = 1 end
  ship.x = math.max(16, math.min(W - 16, ship.x + dx * 4))
  ship.y = math.max(H / 2, math.min(H - 20, ship.y + dy * 4))

  if frame % 40 == 0 then spawn_rock() end
  for _, s in ipairs(stars) do s.y = (s.y + s.v * 0.5) % H end
  for i = #shots, 1, -1 do
    local s = shots[i]
    s.y = s.y - 7
    for _, r in ipairs(rocks) do
      if not r.dead and (s.x - r.x) ^ 2 + (s.y - r.y) ^ 2 < r.r ^ 2 then
        r.dead, s.y, score = true, -100, score + 10
        for _ = 1, 12 do
          sparks[#sparks + 1] = { x = r.x, y = r.y, life = 30,
                                  vx = math.random(-30, 30) / 10, vy = math.random(-30, 30) / 10 }
        end
        play(boom)
      end
    end
    if s.y < -10 then table.remove(shots, i) end
  end
  for i = #rocks, 1, -1 do
    local r = rocks[i]
    r.y = r.y + r.v
    if not r.dead and (ship.x - r.x) ^ 2 + (ship.y - r.y) ^ 2 < (r.r + 12) ^ 2 then
      r.dead, lives = true, math.max(0, lives - 1)
      play(boom)
      rumble()
    end
    if r.dead or r.y > H + 30 then table.remove(rocks, i) end
  end
  for i = #sparks, 1, -1 do
    local p = sparks[i]
    p.x, p.y, p.life = p.x + p.vx, p.y + p.vy, p.life - 1
    if p.life <= 0 then table.remove(sparks, i) end
  end

  -- Drawing
  orbix.SetRenderTarget(ren, canvas)
  orbix.SetRenderDrawColor(ren, 6, 8, 24, 255)
  orbix.RenderClear(ren)
  for _, s in ipairs(stars) do
    local c = 80 + s.v * 50
    orbix.pixelRGBA(ren, s.x, s.y, c, c, c, 255)
  end
  for _, r in ipairs(rocks) do
    orbix.filledcircleRGBA(ren, r.x, r.y, r.r, 130, 100, 80, 255)
    orbix.aacircleRGBA(ren, r.x, r.y, r.r, 210, 180, 150, 255)
  end
  for _, s in ipairs(shots) do orbix.thickLineRGBA(ren, s.x, s.y, s.x, s.y + 10, 3, 255, 230, 80, 255) end
  for _, p in ipairs(sparks) do orbix.filledcircleRGBA(ren, p.x, p.y, 2, 255, 160, 40, p.life * 8) end
  orbix.filledcircleRGBA(ren, ship.x, ship.y, 11, 60, 160, 255, 255)
  orbix.boxRGBA(ren, ship.x - 2, ship.y - 18, ship.x + 2, ship.y - 6, 220, 220, 255, 255)
  orbix.aacircleRGBA(ren, ship.x, ship.y, 11, 255, 255, 255, 255)

  orbix.roundedBoxRGBA(ren, 6, 6, W - 7, 34, 6, 0, 0, 0, 170)
  draw_text(label("Score " .. score), 14, 10)
  draw_text(label("Lives " .. lives), 130, 10)
  draw_text(label("Pads " .. orbix.NumJoysticks()), 240, 10)
  draw_text(label(string.format("%.0f fps", 1000 / math.max(frame_ms, 1))), W - 80, 10)
  if frame < 240 or max_frames then
    draw_text(title, (W - (title and title.w or 0)) // 2, 90)
    draw_text(help, (W - (help and help.w or 0)) // 2, 140)
  end
  if not font then orbix.stringRGBA(ren, 14, 14, "no TrueType font found", 255, 255, 255, 255) end

  orbix.SetRenderTarget(ren, nil)
  orbix.RenderCopy(ren, canvas)
  orbix.RenderPresent(ren)

  frame = frame + 1
  if max_frames then
    -- Unattended play: chase the lowest rock and fire.
    local target = W / 2
    for _, r in ipairs(rocks) do
      if r.y > 0 then target = r.x end
    end
    held[orbix.K_LEFT] = target < ship.x - 4
    held[orbix.K_RIGHT] = target > ship.x + 4
    if frame % 12 == 0 then fire() end
    if frame >= max_frames then running = false end
  end
  -- Sleeps out the rest of the frame; the result is the time since the last call.
  local ms = orbix.framerateDelay(fps)
  frame_ms = frame_ms * 0.9 + ms * 0.1
end

if shot_file then
  local ok, err = orbix.save_texture_to_PNG(shot_file, ren, canvas)
  if not ok then io.stderr:write("screenshot failed: ", tostring(err), "\n") end
end

-- Music and chunks stop with their handles; the device closes last.
if music then orbix.Mix_HaltMusic(); orbix.Mix_FreeMusic(music) end
if laser then orbix.Mix_FreeChunk(laser) end
if boom then orbix.Mix_FreeChunk(boom) end
if audio then orbix.Mix_CloseAudio() end
orbix.Mix_Quit()
for _, path in ipairs(written) do os.remove(path) end
orbix.DestroyWindow(win)
orbix.Quit()
