-- The calls the out-of-memory harness (oom_harness.cpp) makes: every function
-- of orbix, lua_fsop and setvar (and each module's entry) in a realistic call,
-- that is with the arguments and the objects a script would have made for it.
-- Each entry prepares what its call needs, unhindered, and returns the call;
-- the harness then runs that call with the allocator failing. A call checks
-- its own result where it can: with every allocation granted it must do what
-- it does for a script, so a binding that swallowed a failure shows up as an
-- error that is not Lua's memory error.
--
-- Returned: the names of the calls, and prepare(index) -> call.

local O = require "orbix"
local setvar = require "setvar"

local function module_path(name)
  return assert(package.searchpath(name, package.cpath))
end

local fsop_entry = assert(package.loadlib(module_path("lua_fsop"), "fsop"))
fsop_entry()

local FONT = os.getenv("ORBIX_TEST_FONT") or "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
local WHITE = { 255, 255, 255, 255 }

-- --- what calls are made on -------------------------------------------------------

-- Objects the calls depend on without naming them (a renderer's window, a
-- joystick's controller) stay here, out of the collector's reach.
local kept = {}
local function keep(...)
  for i = 1, select("#", ...) do kept[#kept + 1] = select(i, ...) end
  return ...
end

local function video()
  assert(O.Init(O.INIT_VIDEO | O.INIT_EVENTS | O.INIT_TIMER) == 0, O.GetError())
  local w, r, status = O.CreateWindowAndRenderer(64, 48, 0)
  assert(status == 0, O.GetError())
  return keep(w, r)
end

-- A window without renderer, whose surface takes the drawing.
local function bare_window()
  local w, r = video()
  O.DestroyRenderer(r)
  return w
end

local function rgba_surface(w, h)
  return assert(O.CreateRGBSurfaceWithFormat(0, w or 16, h or 16, 32, O.PIXELFORMAT_RGBA32))
end

local function index8_surface()
  local s = O.CreateRGBSurfaceWithFormat(0, 8, 8, 8, O.PIXELFORMAT_INDEX8)
  O.setColors(s, { { 10, 20, 30, 255 }, { 40, 50, 60, 255 } })
  return s
end

local function target_texture(r)
  local tex = O.CreateTexture(r, O.PIXELFORMAT_RGBA32, O.TEXTUREACCESS_TARGET, 16, 16)
  assert(O.SetRenderTarget(r, tex) == 0, O.GetError())
  return keep(tex)
end

local function texture(r)
  return keep(assert(O.CreateTextureFromSurface(r, rgba_surface())))
end

local function audio()
  assert(O.Init(O.INIT_AUDIO) == 0, O.GetError())
  assert(O.Mix_OpenAudio(22050, O.AUDIO_S16, 2, 1024) == 0, O.GetError())
end

-- A short mono 16-bit PCM WAV file.
local function wav_file()
  local name = "oom.wav"
  local f = io.open(name, "rb")
  if f then
    f:close()
    return name
  end
  local samples = {}
  for i = 0, 2205 do samples[#samples + 1] = string.pack("<i2", (i // 50) % 2 == 0 and 8000 or -8000) end
  local data = table.concat(samples)
  f = assert(io.open(name, "wb"))
  f:write(string.pack("<c4I4c4", "RIFF", 36 + #data, "WAVE"))
  f:write(string.pack("<c4I4I2I2I4I4I2I2", "fmt ", 16, 1, 1, 22050, 44100, 2, 16))
  f:write(string.pack("<c4I4", "data", #data), data)
  f:close()
  return name
end

local function png_file()
  O.IMG_Init(O.IMG_INIT_PNG)
  local s = rgba_surface(8, 8)
  O.surface_fill_rect(s, nil, 200, 100, 50, 255)
  assert(O.IMG_SavePNG(s, "oom.png") == 0, O.GetError())
  O.FreeSurface(s)
  return "oom.png"
end

local function font()
  assert(O.TTF_Init() == 0, O.GetError())
  return assert(O.TTF_OpenFont(FONT, 12), O.GetError())
end

local function controller()
  assert(O.Init(O.INIT_GAMECONTROLLER | O.INIT_JOYSTICK) == 0, O.GetError())
  return keep(O.GameControllerOpen(attach_pad()))
end

-- Succeeds when `status` is 0 (SDL's success) and passes it on.
local function ok(status, ...)
  assert(status == 0, O.GetError())
  return status, ...
end

-- --- the calls ------------------------------------------------------------------------

local cases = {}
local function case(name, make) cases[#cases + 1] = { name = name, make = make } end

-- modules' entries
case("luaopen_orbix", function()
  local open = assert(package.loadlib(module_path("orbix"), "luaopen_orbix"))
  return function() assert(type(open().Init) == "function") end
end)
case("luaopen_setvar", function()
  local open = assert(package.loadlib(module_path("setvar"), "luaopen_setvar"))
  return function() assert(type(open()) == "function") end
end)
case("fsop", function()
  ls = nil
  return function() fsop_entry(); assert(ls) end
end)

-- events
case("poll", function()
  assert(O.Init(O.INIT_EVENTS) == 0, O.GetError())
  while O.poll() do end
  assert(push_key_event())
  return function() assert(O.poll().sym == 97) end
end)
case("poll text input", function()
  assert(O.Init(O.INIT_EVENTS) == 0, O.GetError())
  while O.poll() do end
  assert(push_text_event("h\u{E9}llo"))
  return function() assert(O.poll().text == "h\u{E9}llo") end
end)

-- window, renderer and core
case("Init", function() return function() ok(O.Init(O.INIT_VIDEO)) end end)
case("CreateWindowAndRenderer", function()
  video()
  return function()
    local w, r, status = O.CreateWindowAndRenderer(32, 32, 0)
    ok(status)
    ok(O.RenderClear(r))
    assert(O.GetWindowSize(w) == 32)
  end
end)
case("SetWindowTitle", function()
  local w = video()
  return function() O.SetWindowTitle(w, "a title") end
end)
case("SetWindowIcon", function()
  local w = video()
  local icon = rgba_surface()
  return function() O.SetWindowIcon(w, icon) end
end)
case("SetWindowFullscreen", function()
  local w = video()
  return function() ok(O.SetWindowFullscreen(w, 0)) end
end)
case("DestroyRenderer", function()
  local _, r = video()
  return function()
    O.DestroyRenderer(r)
    assert(O.RenderClear(r) == -1)
  end
end)
case("DestroyWindow", function()
  local w, r = video()
  return function()
    O.DestroyWindow(w)
    assert(O.RenderClear(r) == -1)
  end
end)
case("Quit", function()
  local _, r = video()
  target_texture(r)
  return function()
    O.Quit()
    assert(O.RenderClear(r) == -1)
  end
end)
case("SetRenderDrawColor", function()
  local _, r = video()
  return function() ok(O.SetRenderDrawColor(r, 1, 2, 3, 4)) end
end)
case("GetRenderDrawColor", function()
  local _, r = video()
  O.SetRenderDrawColor(r, 1, 2, 3, 4)
  return function() assert(select(3, O.GetRenderDrawColor(r)) == 3) end
end)
case("RenderClear", function()
  local _, r = video()
  return function() ok(O.RenderClear(r)) end
end)
case("RenderPresent", function()
  local _, r = video()
  return function() O.RenderPresent(r) end
end)
case("ShowSimpleMessageBox", function()
  local w = video()
  -- Without a display the box fails at once, after SDL has looked at everything.
  return function() O.ShowSimpleMessageBox(O.MESSAGEBOX_INFORMATION, "title", "text", w) end
end)
case("GetError", function()
  video()
  O.SetWindowTitle(nil, "no window")  -- leaves an error text
  return function() assert(#O.GetError() > 0) end
end)
case("CreateSoftwareRenderer", function()
  video()
  local s = rgba_surface()
  return function() ok(O.RenderClear(assert(O.CreateSoftwareRenderer(s)))) end
end)
case("CreateSoftwareRenderer on a window surface", function()
  local s = O.GetWindowSurface(bare_window())
  return function() ok(O.RenderClear(assert(O.CreateSoftwareRenderer(s)))) end
end)
case("SetWindowSize", function()
  local w = video()
  return function() O.SetWindowSize(w, 40, 30) end
end)
case("GetWindowSize", function()
  local w = video()
  return function() assert(O.GetWindowSize(w) == 64) end
end)
case("GetRenderTarget", function()
  local _, r = video()
  target_texture(r)
  return function() assert(select(5, O.QueryTexture(assert(O.GetRenderTarget(r)))) == 0) end
end)
case("SetRenderTarget", function()
  local _, r = video()
  local tex = O.CreateTexture(r, O.PIXELFORMAT_RGBA32, O.TEXTUREACCESS_TARGET, 16, 16)
  return function() ok(O.SetRenderTarget(r, tex)) end
end)
case("RenderSetScale", function()
  local _, r = video()
  return function() ok(O.RenderSetScale(r, 2, 2)) end
end)
case("GetTicks", function()
  video()
  return function() assert(O.GetTicks() >= 0) end
end)
case("HasClipboardText", function()
  video()
  O.SetClipboardText("clip")
  return function() assert(O.HasClipboardText()) end
end)
case("GetClipboardText", function()
  video()
  O.SetClipboardText("a clipboard text longer than any short string of the state")
  return function() assert(O.GetClipboardText() == "a clipboard text longer than any short string of the state") end
end)
case("SetClipboardText", function()
  video()
  return function() ok(O.SetClipboardText("clip")) end
end)
case("RenderFillRect", function()
  local _, r = video()
  return function() ok(O.RenderFillRect(r, { 1, 2, 10, 8 })) end
end)
case("RenderDrawPoint", function()
  local _, r = video()
  return function() ok(O.RenderDrawPoint(r, 3, 4)) end
end)
case("RenderDrawLine", function()
  local _, r = video()
  return function() ok(O.RenderDrawLine(r, 0, 0, 30, 20)) end
end)
case("RenderIsClipEnabled", function()
  local _, r = video()
  O.RenderSetClipRect(r, { 0, 0, 8, 8 })
  return function() assert(O.RenderIsClipEnabled(r)) end
end)
case("RenderSetClipRect", function()
  local _, r = video()
  return function() ok(O.RenderSetClipRect(r, { 0, 0, 8, 8 })) end
end)
case("RenderGetClipRect", function()
  local _, r = video()
  O.RenderSetClipRect(r, { 0, 0, 8, 6 })
  return function() assert(O.RenderGetClipRect(r)[4] == 6) end
end)
case("Delay", function() return function() O.Delay(1) end end)
case("SetRenderDrawBlendMode", function()
  local _, r = video()
  return function() ok(O.SetRenderDrawBlendMode(r, O.BLENDMODE_BLEND)) end
end)
case("GetRenderDrawBlendMode", function()
  local _, r = video()
  return function() assert(select(2, O.GetRenderDrawBlendMode(r)) == 0) end
end)
case("ShowCursor", function()
  video()
  return function() assert(O.ShowCursor(O.QUERY) >= 0) end
end)
case("GetRelativeMouseMode", function()
  video()
  return function() assert(O.GetRelativeMouseMode() == false) end
end)
case("SetRelativeMouseMode", function()
  video()
  return function() O.SetRelativeMouseMode(false) end
end)

-- textures
case("CreateTextureFromSurface", function()
  local _, r = video()
  local s = rgba_surface()
  return function() assert(select(5, O.QueryTexture(assert(O.CreateTextureFromSurface(r, s)))) == 0) end
end)
case("RenderCopy", function()
  local _, r = video()
  local tex = texture(r)
  return function() ok(O.RenderCopy(r, tex, nil, { 0, 0, 8, 8 })) end
end)
case("DestroyTexture", function()
  local _, r = video()
  local tex = texture(r)
  return function()
    O.DestroyTexture(tex)
    assert(select(5, O.QueryTexture(tex)) == -1)
  end
end)
case("save_texture_to_PNG", function()
  local _, r = video()
  O.IMG_Init(O.IMG_INIT_PNG)
  local tex = target_texture(r)
  O.SetRenderTarget(r, nil)
  return function() assert(O.save_texture_to_PNG("saved.png", r, tex) == true) end
end)
case("CreateTexture", function()
  local _, r = video()
  return function()
    local tex = O.CreateTexture(r, O.PIXELFORMAT_RGBA32, O.TEXTUREACCESS_TARGET, 8, 8)
    assert(select(5, O.QueryTexture(tex)) == 0)
  end
end)
case("RenderCopyEx", function()
  local _, r = video()
  local tex = texture(r)
  return function() ok(O.RenderCopyEx(r, tex, nil, { 0, 0, 8, 8 }, 30, { 4, 4 }, O.FLIP_HORIZONTAL)) end
end)
case("SetTextureAlphaMod", function()
  local _, r = video()
  local tex = texture(r)
  return function() ok(O.SetTextureAlphaMod(tex, 128)) end
end)
case("SetTextureScaleMode", function()
  local _, r = video()
  local tex = texture(r)
  return function() ok(O.SetTextureScaleMode(tex, O.ScaleModeLinear)) end
end)
case("texture_to_surface", function()
  local _, r = video()
  local tex = target_texture(r)
  return function() assert(O.getSurfaceWidthHeight(assert(O.texture_to_surface(r, tex))) == 16) end
end)
case("QueryTexture", function()
  local _, r = video()
  local tex = target_texture(r)
  return function() assert(select(3, O.QueryTexture(tex)) == 16) end
end)
case("SetTextureBlendMode", function()
  local _, r = video()
  local tex = target_texture(r)
  return function() ok(O.SetTextureBlendMode(tex, O.BLENDMODE_ADD)) end
end)
case("GetTextureBlendMode", function()
  local _, r = video()
  local tex = target_texture(r)
  O.SetTextureBlendMode(tex, O.BLENDMODE_ADD)
  return function() assert(O.GetTextureBlendMode(tex) == O.BLENDMODE_ADD) end
end)

-- surfaces and pixels
case("IMG_Init", function() return function() assert(O.IMG_Init(O.IMG_INIT_PNG) & O.IMG_INIT_PNG ~= 0) end end)
case("FreeSurface", function()
  local s = rgba_surface()
  return function()
    O.FreeSurface(s)
    assert(not pcall(O.getSurfaceWidthHeight, s))
  end
end)
case("IMG_Load", function()
  local file = png_file()
  return function() assert(O.getSurfaceWidthHeight(assert(O.IMG_Load(file))) == 8) end
end)
case("IMG_Quit", function() return function() O.IMG_Quit() end end)
case("IMG_SavePNG", function()
  O.IMG_Init(O.IMG_INIT_PNG)
  local s = rgba_surface()
  return function() ok(O.IMG_SavePNG(s, "saved.png")) end
end)
case("IMG_SavePNG of a 4-bit palette surface", function()
  O.IMG_Init(O.IMG_INIT_PNG)
  local s = O.CreateRGBSurface(0, 8, 8, 4, 0, 0, 0, 0)
  return function() ok(O.IMG_SavePNG(s, "saved4.png")) end
end)
case("getColors", function()
  local s = index8_surface()
  return function() assert(O.getColors(s)[2][3] == 60) end
end)
case("setColors", function()
  local s = index8_surface()
  local colors = { { 1, 2, 3, 255 }, { 4, 5, 6, 255 }, { 7, 8, 9, 255 } }
  return function()
    O.setColors(s, colors)
    assert(select(3, O.get_surface_rgba(s, 0, 0)) == 3)
  end
end)
case("getSurfaceWidthHeight", function()
  local s = rgba_surface()
  return function() assert(O.getSurfaceWidthHeight(s) == 16) end
end)
case("MapRGB", function()
  local s = rgba_surface()
  return function() assert(O.MapRGB(s, 1, 2, 3) == 0xFF030201) end
end)
case("SetColorKey", function()
  local s = rgba_surface()
  return function() ok(O.SetColorKey(s, true, 0)) end
end)
case("GetWindowSurface", function()
  local w = bare_window()
  return function() assert(O.getSurfaceWidthHeight(O.GetWindowSurface(w)) == 64) end
end)
case("UpdateWindowSurface", function()
  local w = bare_window()
  keep(O.GetWindowSurface(w))
  return function() ok(O.UpdateWindowSurface(w)) end
end)
case("BlitSurface", function()
  local a, b = rgba_surface(), rgba_surface()
  return function() ok(O.BlitSurface(a, { 0, 0, 8, 8 }, b, { 2, 2, 8, 8 })) end
end)
case("CreateRGBSurface", function()
  return function()
    local s = O.CreateRGBSurface(0, 8, 8, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000)
    assert(O.getSurfaceWidthHeight(s) == 8)
  end
end)
case("CreateRGBSurfaceWithFormat", function()
  return function() assert(O.getSurfaceWidthHeight(O.CreateRGBSurfaceWithFormat(0, 8, 8, 32, O.PIXELFORMAT_RGBA32)) == 8) end
end)
case("surface_fill_rect", function()
  local s = rgba_surface()
  return function() ok(O.surface_fill_rect(s, { 0, 0, 4, 4 }, 1, 2, 3, 255)) end
end)
case("get_surface_rgba", function()
  local s = rgba_surface()
  O.surface_fill_rect(s, nil, 1, 2, 3, 255)
  return function() assert(select(3, O.get_surface_rgba(s, 1, 1)) == 3) end
end)
case("set_surface_rgba", function()
  local s = index8_surface()
  return function()
    O.set_surface_rgba(s, 1, 1, 40, 50, 60, 255)
    assert(select(3, O.get_surface_rgba(s, 1, 1)) == 60)
  end
end)
case("SetSurfaceBlendMode", function()
  local s = rgba_surface()
  return function() ok(O.SetSurfaceBlendMode(s, O.BLENDMODE_BLEND)) end
end)
case("GetSurfaceBlendMode", function()
  local s = rgba_surface()
  O.SetSurfaceBlendMode(s, O.BLENDMODE_ADD)
  return function() assert(O.GetSurfaceBlendMode(s) == O.BLENDMODE_ADD) end
end)
case("zoomSurface", function()
  local s = rgba_surface()
  return function() assert(O.getSurfaceWidthHeight(assert(O.zoomSurface(s, 2, 1.5, true))) == 32) end
end)
case("zoomSurface mirroring an 8-bit surface", function()
  local s = index8_surface()
  return function() assert(O.getSurfaceWidthHeight(assert(O.zoomSurface(s, -2, 2, false))) == 16) end
end)

-- audio
case("Mix_OpenAudio", function()
  assert(O.Init(O.INIT_AUDIO) == 0, O.GetError())
  return function() ok(O.Mix_OpenAudio(22050, O.AUDIO_S16, 2, 1024)) end
end)
case("Mix_LoadMUS", function()
  audio()
  local file = wav_file()
  return function() ok(O.Mix_PlayMusic(assert(O.Mix_LoadMUS(file)), 0)) end
end)
case("Mix_PlayMusic", function()
  audio()
  local music = assert(O.Mix_LoadMUS(wav_file()))
  return function() ok(O.Mix_PlayMusic(music, 0)) end
end)
case("Mix_PlayChannel", function()
  audio()
  local chunk = assert(O.Mix_LoadWAV(wav_file()))
  return function() assert(O.Mix_PlayChannel(-1, chunk, 0) >= 0) end
end)
case("Mix_LoadWAV", function()
  audio()
  local file = wav_file()
  return function() assert(O.Mix_PlayChannel(-1, assert(O.Mix_LoadWAV(file)), 0) >= 0) end
end)
case("Mix_FreeChunk", function()
  audio()
  local chunk = assert(O.Mix_LoadWAV(wav_file()))
  return function()
    O.Mix_FreeChunk(chunk)
    assert(O.Mix_PlayChannel(-1, chunk, 0) == -1)
  end
end)
case("Mix_FreeMusic", function()
  audio()
  local music = assert(O.Mix_LoadMUS(wav_file()))
  return function()
    O.Mix_FreeMusic(music)
    assert(O.Mix_PlayMusic(music, 0) == -1)
  end
end)
case("Mix_CloseAudio", function()
  audio()
  return function() O.Mix_CloseAudio() end
end)
case("Mix_Quit", function()
  audio()
  local music = assert(O.Mix_LoadMUS(wav_file()))
  return function()
    O.Mix_Quit()
    assert(O.Mix_PlayMusic(music, 0) == -1)
  end
end)
case("Mix_FadeOutMusic", function()
  audio()
  O.Mix_PlayMusic(keep(assert(O.Mix_LoadMUS(wav_file()))), -1)
  return function() assert(O.Mix_FadeOutMusic(10) == 1) end
end)
case("Mix_HaltMusic", function()
  audio()
  O.Mix_PlayMusic(keep(assert(O.Mix_LoadMUS(wav_file()))), -1)
  return function() ok(O.Mix_HaltMusic()) end
end)

-- fonts, controllers and frame-rate manager
case("TTF_Init", function() return function() ok(O.TTF_Init()) end end)
case("initFramerate", function() return function() ok(O.setFramerate(O.initFramerate(), 60)) end end)
case("setFramerate", function()
  local m = O.initFramerate()
  return function() ok(O.setFramerate(m, 200)) end
end)
case("framerateDelay", function()
  assert(O.Init(O.INIT_TIMER) == 0, O.GetError())
  local m = O.initFramerate()
  O.setFramerate(m, 200)
  return function() assert(O.framerateDelay(m) >= 0) end
end)
case("NumJoysticks", function()
  controller()
  return function() assert(O.NumJoysticks() >= 1) end
end)
case("GameControllerOpen", function()
  assert(O.Init(O.INIT_GAMECONTROLLER | O.INIT_JOYSTICK) == 0, O.GetError())
  local device = attach_pad()
  return function() assert(O.GameControllerGetJoystick(O.GameControllerOpen(device))) end
end)
case("GameControllerOpen of an open device", function()
  local device = attach_pad()
  keep(O.GameControllerOpen(device))
  return function() assert(O.GameControllerGetJoystick(O.GameControllerOpen(device))) end
end)
case("TTF_OpenFont", function()
  assert(O.TTF_Init() == 0, O.GetError())
  return function() assert(O.TTF_SizeText(assert(O.TTF_OpenFont(FONT, 12)), "Hi") > 0) end
end)
case("TTF_RenderText_Solid", function()
  local f = font()
  return function() assert(O.getSurfaceWidthHeight(assert(O.TTF_RenderText_Solid(f, "Hi", WHITE))) > 0) end
end)
case("TTF_RenderText_Blended_Wrapped", function()
  local f = font()
  return function()
    assert(O.getSurfaceWidthHeight(assert(O.TTF_RenderText_Blended_Wrapped(f, "Hello wrapped world", WHITE, 40))) > 0)
  end
end)
case("TTF_SizeText", function()
  local f = font()
  return function() assert(select(3, O.TTF_SizeText(f, "Hi")) == 0) end
end)
case("JoystickRumble", function()
  local js = O.GameControllerGetJoystick(controller())
  return function() O.JoystickRumble(js, 100, 200, 10) end
end)
case("GameControllerGetJoystick", function()
  local gc = controller()
  return function() assert(O.GameControllerGetJoystick(gc)) end
end)

-- drawing primitives
local function primitive(name, ...)
  local args = table.pack(...)
  case(name, function()
    local _, r = video()
    return function() ok(O[name](r, table.unpack(args, 1, args.n))) end
  end)
end
primitive("circleRGBA", 10, 10, 5, 255, 0, 0, 255)
primitive("stringRGBA", 1, 1, "Hi", 255, 255, 255, 255)
primitive("filledellipseRGBA", 10, 10, 5, 3, 0, 255, 0, 255)
primitive("aaellipseRGBA", 10, 10, 5, 3, 0, 255, 0, 255)
primitive("ellipseRGBA", 10, 10, 5, 3, 0, 255, 0, 255)
primitive("filledcircleRGBA", 10, 10, 5, 0, 0, 255, 255)
primitive("aacircleRGBA", 10, 10, 5, 0, 0, 255, 255)
primitive("aalineRGBA", 0, 0, 20, 10, 255, 255, 0, 255)
primitive("lineRGBA", 0, 0, 20, 10, 255, 255, 0, 255)
primitive("thickLineRGBA", 0, 0, 20, 10, 3, 255, 255, 0, 255)
primitive("roundedBoxRGBA", 0, 0, 20, 10, 3, 255, 0, 255, 255)
primitive("roundedRectangleRGBA", 0, 0, 20, 10, 3, 255, 0, 255, 255)
primitive("boxRGBA", 0, 0, 20, 10, 255, 0, 255, 255)
primitive("rectangleRGBA", 0, 0, 20, 10, 255, 0, 255, 255)
primitive("vlineRGBA", 5, 0, 10, 255, 255, 255, 255)
primitive("hlineRGBA", 0, 10, 5, 255, 255, 255, 255)
primitive("pixelRGBA", 1, 1, 255, 255, 255, 255)

-- lua_fsop
case("ls", function()
  wav_file()
  return function()
    local found = false
    for _, name in ipairs(ls()) do found = found or name == "oom.wav" end
    assert(found)
  end
end)
case("cd", function() return function() assert(cd(".") == realpath(".")) end end)
case("mkdir", function()
  pcall(rmdir, "oom_dir")
  return function()
    mkdir("oom_dir")
    assert(not pcall(mkdir, "oom_dir"), "made twice")
  end
end)
case("rmdir", function()
  pcall(mkdir, "oom_dir")
  return function()
    rmdir("oom_dir")
    assert(not pcall(rmdir, "oom_dir"))
  end
end)
case("realpath", function()
  return function() assert(realpath("some/dir/../file.txt"):sub(-14) == "/some/file.txt") end
end)
case("filesize", function()
  local file = wav_file()
  return function() assert(filesize(file) > 44) end
end)

-- setvar
case("setvar", function()
  return function() assert(setvar("ORBIX_OOM_TEST", "a value") == 0 and os.getenv("ORBIX_OOM_TEST") == "a value") end
end)

-- Every function of the module table has an entry above (checked here, so a
-- new function cannot be left out).
local covered = {}
for _, c in ipairs(cases) do covered[c.name:match("^%S+")] = true end
for name, v in pairs(O) do
  if type(v) == "function" and not covered[name] then error("no out-of-memory case for orbix." .. name) end
end

local names = {}
for i, c in ipairs(cases) do names[i] = c.name end
return names, function(index) return cases[index].make() end
