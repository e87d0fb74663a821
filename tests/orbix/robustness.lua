-- Inputs the argument fuzzer found to crash or corrupt memory, each now a
-- result or an SDL error. Runs natively (also under ASan) and under Wine.
local t = require "testlib"
local orbix = require "orbix"

t.eq(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_AUDIO | orbix.INIT_EVENTS), 0)

local function rgba_surface(w, h) return orbix.CreateRGBSurfaceWithFormat(0, w, h, 32, orbix.PIXELFORMAT_RGBA32) end

t.test("pixel formats SDL does not know give empty handles, not surfaces it overruns later", function()
  -- 0x1BE8AD73 claims 115 bytes per pixel; SDL 2.26 built a surface for it
  -- and IMG_SavePNG then read far outside its pixels.
  local s = orbix.CreateRGBSurfaceWithFormat(0, 4, 4, 15, 4881508581828504947)
  t.raises(function() orbix.getSurfaceWidthHeight(s) end, "surface has been freed")
  t.eq(orbix.GetError(), "Unknown pixel format")
  t.eq(orbix.IMG_SavePNG(s, "never.png"), -1)
  local w, r = orbix.CreateWindowAndRenderer(8, 8, 0)
  local tex = orbix.CreateTexture(r, 0x1BE8AD73, orbix.TEXTUREACCESS_STATIC, 4, 4)
  t.eq(select(5, orbix.QueryTexture(tex)), -1, "empty texture handle")
  t.truthy(orbix.QueryTexture(orbix.CreateTexture(r, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_STATIC, 4, 4)))
  orbix.DestroyWindow(w)
  local ok = rgba_surface(2, 2)
  t.eq(select(2, orbix.getSurfaceWidthHeight(ok)), 2, "known formats still work")
end)

t.test("palette surfaces under 8 bits per pixel are saved whole, not read past their rows", function()
  -- 260 pixels of 4 bits are 130 bytes a row; SDL_image read 260 a row and
  -- ran off the end of the pixels (found by the fuzzer as
  -- CreateRGBSurface(255, 260, 272, 4, ...) then IMG_SavePNG).
  for _, depth in ipairs({ 1, 4 }) do
    local s = orbix.CreateRGBSurface(0, 260, 272, depth, 0, 0, 0, 0)
    local colors = {}
    for i = 1, 1 << depth do colors[i] = { (i - 1) * 16 % 256, 7, 9, 255 } end
    orbix.setColors(s, colors)
    local file = "sub_byte_" .. depth .. ".png"
    t.eq(orbix.IMG_SavePNG(s, file), 0, depth .. " bits")
    local back = orbix.IMG_Load(file)
    local w, h = orbix.getSurfaceWidthHeight(back)
    t.eq(w * 1000 + h, 260272)
    -- new pixels are index 0: its colour, to the last pixel of the last row
    t.eq(table.concat({ orbix.get_surface_rgba(back, 259, 271) }, ","), "0,7,9,255")
    os.remove(file)
  end
end)

t.test("zoomSurface of a surface without pixels returns nothing", function()
  for _, size in ipairs({ { 0, 0 }, { 0, 5 }, { 5, 0 } }) do
    t.count(0, orbix.zoomSurface(rgba_surface(size[1], size[2]), -1.5, 2, false))
    t.count(0, orbix.zoomSurface(rgba_surface(size[1], size[2]), 2, 2, true))
  end
  t.truthy(orbix.GetError():find("no pixels", 1, true))
end)

t.test("zoomSurface refuses 32-bit surfaces past 32767 pixels instead of reading outside them", function()
  -- SDL2_gfx's positions overflow there (found by the fuzzer: a 4,095-byte
  -- text rendered wrapped at every character, then zoomed 1.25 x 0.75).
  for _, size in ipairs({ { 2, 40000 }, { 40000, 2 } }) do
    local s = rgba_surface(size[1], size[2])
    t.count(0, orbix.zoomSurface(s, 0.75, 0.5, true))
    t.count(0, orbix.zoomSurface(s, 1, 1, false))
    t.truthy(orbix.GetError():find("wider or taller than 32767", 1, true))
  end
  local edge = orbix.zoomSurface(rgba_surface(2, 32767), 1, 0.5, true)
  t.eq(select(2, orbix.getSurfaceWidthHeight(edge)), 16384, "32767 still zooms")
  local indexed = orbix.CreateRGBSurfaceWithFormat(0, 2, 40000, 8, orbix.PIXELFORMAT_INDEX8)
  t.eq(select(2, orbix.getSurfaceWidthHeight(orbix.zoomSurface(indexed, 1, 0.5, false))), 20000,
    "the 8-bit zoom has no such limit")
end)

t.test("mirroring zooms of 8-bit surfaces stay inside and mirror", function()
  local s = orbix.CreateRGBSurfaceWithFormat(0, 4, 3, 8, orbix.PIXELFORMAT_INDEX8)
  local colors = {}
  for i = 1, 256 do colors[i] = { i - 1, 0, 0, 255 } end
  orbix.setColors(s, colors)
  -- index = 10 * y + x, so every pixel says where it came from
  for y = 0, 2 do
    for x = 0, 3 do orbix.set_surface_rgba(s, x, y, 10 * y + x, 0, 0, 255) end
  end
  local function at(z, x, y) return (orbix.get_surface_rgba(z, x, y)) end
  local fx = orbix.zoomSurface(s, -1, 1, false)
  t.eq(select(1, orbix.getSurfaceWidthHeight(fx)), 4)
  t.eq(at(fx, 0, 0), 3); t.eq(at(fx, 3, 0), 0); t.eq(at(fx, 1, 2), 22)
  local fy = orbix.zoomSurface(s, 1, -1, false)
  t.eq(at(fy, 0, 0), 20); t.eq(at(fy, 2, 2), 2); t.eq(at(fy, 3, 1), 13)
  local both = orbix.zoomSurface(s, -2, -2, false)
  local w, h = orbix.getSurfaceWidthHeight(both)
  t.eq(w, 8); t.eq(h, 6)
  t.eq(at(both, 0, 0), 23); t.eq(at(both, 7, 5), 0)
  -- an odd width and height, shrunk
  local big = orbix.CreateRGBSurfaceWithFormat(0, 17, 13, 8, orbix.PIXELFORMAT_INDEX8)
  t.truthy(orbix.zoomSurface(big, -1.75, 1, true))
end)

t.test("a negative audio rate is refused: closing the device no longer waits for weeks", function()
  -- Found by the fuzzer as Mix_OpenAudio(-5, ...) then Mix_CloseAudio, which
  -- never returned on the dummy driver.
  t.eq(orbix.Mix_OpenAudio(-5, orbix.AUDIO_S16, 2, 512), -1)
  t.eq(orbix.GetError(), "Mix_OpenAudio: frequency -5 is negative")
  t.eq(orbix.Mix_OpenAudio(-(1 << 31), orbix.AUDIO_S16, 2, 512), -1)
  orbix.Mix_CloseAudio()
  t.eq(orbix.Mix_OpenAudio(0, orbix.AUDIO_S16, 2, 512), 0, "0 still asks for the default rate")
  orbix.Mix_CloseAudio()
end)

t.test("Mix_PlayChannel refuses channels SDL_mixer does not have", function()
  t.eq(orbix.Mix_OpenAudio(22050, orbix.AUDIO_S16, 2, 512), 0)
  local samples = {}
  for i = 1, 400 do samples[i] = string.pack("<i2", i % 40 < 20 and 3000 or -3000) end
  local data = table.concat(samples)
  local f = assert(io.open("tone.wav", "wb"))
  f:write(string.pack("<c4I4c4c4I4I2I2I4I4I2I2c4I4", "RIFF", 36 + #data, "WAVE", "fmt ", 16, 1, 1, 8000, 16000, 2,
    16, "data", #data), data)
  f:close()
  local chunk = assert(orbix.Mix_LoadWAV("tone.wav"))
  -- 2^31 is channel -2^31 after narrowing: SDL_mixer indexed its array with it
  for _, ch in ipairs({ 2147483648, -2, 8, 100 }) do
    t.eq(orbix.Mix_PlayChannel(ch, chunk, 0), -1, "channel " .. ch)
    t.truthy(orbix.GetError():find("Invalid channel", 1, true))
  end
  t.eq(orbix.Mix_PlayChannel(7, chunk, 0), 7, "the last of the 8 channels")
  orbix.Mix_CloseAudio()
end)

t.test("freeing or collecting the music that fades out stops it instead of waiting for the fade", function()
  -- Found by the fuzzer as Mix_FadeOutMusic(2^31 - 1) then Mix_FreeMusic,
  -- which waited 24 days for the fade to end.
  t.eq(orbix.Mix_OpenAudio(22050, orbix.AUDIO_S16, 2, 512), 0)
  local music = assert(orbix.Mix_LoadMUS("tone.wav"))
  t.eq(orbix.Mix_PlayMusic(music, -1), 0)
  t.eq(orbix.Mix_FadeOutMusic(60000), 1)
  local started = os.time()
  orbix.Mix_FreeMusic(music)
  -- the collector's path: a dropped handle of fading music
  local dropped = assert(orbix.Mix_LoadMUS("tone.wav"))
  t.eq(orbix.Mix_PlayMusic(dropped, -1), 0)
  t.eq(orbix.Mix_FadeOutMusic(60000), 1)
  dropped = nil
  collectgarbage("collect")
  t.truthy(os.time() - started <= 2, "both returned at once")
  -- music that is not playing is freed as before, and others keep playing
  local other = assert(orbix.Mix_LoadMUS("tone.wav"))
  local playing = assert(orbix.Mix_LoadMUS("tone.wav"))
  t.eq(orbix.Mix_PlayMusic(playing, -1), 0)
  orbix.Mix_FreeMusic(other)
  t.eq(orbix.Mix_FadeOutMusic(10), 1, "the playing music still plays")
  orbix.Mix_HaltMusic()
  orbix.Mix_CloseAudio()
end)

t.test("a frame-rate manager made before SDL restarted waits one frame, not the old clock's time", function()
  -- SDL's clock restarts at 0 after Quit and Init; framerateDelay waited
  -- until it reached the manager's old start again, as long as SDL had run.
  orbix.Delay(1500)
  local m = orbix.initFramerate()
  t.eq(orbix.setFramerate(m, 200), 0)
  orbix.framerateDelay(m)
  orbix.Quit()
  t.eq(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_AUDIO | orbix.INIT_EVENTS), 0)
  local before = orbix.GetTicks()
  orbix.framerateDelay(m)
  orbix.framerateDelay(m)
  t.truthy(orbix.GetTicks() - before < 750, "two frames of 5 ms, not the 1.5 s of the old clock")
end)

t.test("setFramerate on a manager whose finaliser ran fails instead of writing through null", function()
  local m = orbix.initFramerate()
  getmetatable(m).__gc(m)
  t.eq(orbix.setFramerate(m, 60), -1)
  t.eq(orbix.framerateDelay(m), 0)
end)

t.test("very long lines are clipped before SDL allocates a point per pixel", function()
  local s = rgba_surface(64, 64)
  local r = orbix.CreateSoftwareRenderer(s)
  orbix.SetRenderDrawColor(r, 255, 0, 0, 255)
  t.eq(orbix.RenderDrawLine(r, 0, 10, 2147483647, 10), 0)  -- 16 GiB of points unclipped
  t.eq(select(1, orbix.get_surface_rgba(s, 63, 10)), 255, "drawn to the edge")
  t.eq(orbix.RenderDrawLine(r, -2147483648, -2147483648, 2147483647, 2147483647), 0)
  t.eq(select(1, orbix.get_surface_rgba(s, 30, 30)), 255, "the diagonal")
  t.eq(select(1, orbix.get_surface_rgba(s, 31, 30)), 0, "and only the diagonal")
  t.eq(orbix.RenderDrawLine(r, -2147483648, 5, -2147483000, 5), 0, "wholly outside")
  orbix.RenderSetScale(r, 0.5, 0.5)
  t.eq(orbix.RenderDrawLine(r, 0, 100, 1000000, 100), 0)
  t.eq(select(1, orbix.get_surface_rgba(s, 60, 50)), 255, "scaled: logical y 100 is row 50")
end)

t.test("BlitSurface rectangles at the ends of the int range copy nothing from outside", function()
  local a, b = rgba_surface(16, 16), rgba_surface(16, 16)
  orbix.surface_fill_rect(a, nil, 1, 2, 3, 255)
  -- w = -2^31 and a huge y wrapped SDL's clipping into a positive size
  t.eq(orbix.BlitSurface(a, { 255, 5087339297013850320, 2147483648, 924422736584664437 }, b, { 1, 2, 3, 4 }), 0)
  t.eq(orbix.BlitSurface(b, { 255, 5087339297013850320, 2147483648, 924422736584664437 }, a, { 1, 2, 3, 4 }), 0)
  t.eq(select(4, orbix.get_surface_rgba(b, 5, 5)), 0, "nothing copied")
  t.eq(orbix.BlitSurface(a, { -2147483648, 0, 2147483647, 16 }, b, { 0, 0, 16, 16 }), 0)
  t.eq(orbix.BlitSurface(a, { 0, 0, 16, 16 }, b, { 2147483647, 2147483647, 16, 16 }), 0)
  t.eq(orbix.BlitSurface(a, nil, b, { -2147483648, -2147483648, 16, 16 }), 0)
  t.eq(select(4, orbix.get_surface_rgba(b, 5, 5)), 0, "still nothing")
  t.eq(orbix.BlitSurface(a, { 2, 2, 4, 4 }, b, { 3, 3, 0, 0 }), 0)
  t.eq(select(3, orbix.get_surface_rgba(b, 4, 4)), 3, "an ordinary blit still copies")
  t.eq(select(4, orbix.get_surface_rgba(b, 8, 8)), 0, "only its 4 x 4 pixels")
end)

t.test("fills at the ends of the int range fill what they cover and nothing outside", function()
  -- Found as a WRITE far outside the pixels in SDL_FillRect (orbix fuzz seed
  -- 777, round ~8,200): x + w wrapped in SDL's clipping into a small width at
  -- x = 2^31 - 8.
  local s = rgba_surface(16, 16)
  local function red(x, y) return (orbix.get_surface_rgba(s, x, y)) end
  t.eq(orbix.surface_fill_rect(s, { 2147483640, 2147483640, 20, 20 }, 9, 0, 0, 255), 0)
  t.eq(orbix.surface_fill_rect(s, { 2147483640, 0, 20, 20 }, 9, 0, 0, 255), 0)
  t.eq(orbix.surface_fill_rect(s, { 0, 2147483647, 16, 2147483647 }, 9, 0, 0, 255), 0)
  t.eq(red(0, 0) + red(15, 15) + red(7, 8), 0, "nothing filled")
  -- A rectangle from far left that ends inside keeps its right edge.
  t.eq(orbix.surface_fill_rect(s, { -2147483640, 2, 2147483647, 3 }, 7, 0, 0, 255), 0)
  t.eq(red(6, 2), 7, "up to x = 6")
  t.eq(red(7, 2), 0, "not x = 7")
  t.eq(red(0, 5), 0, "three rows")
  t.eq(orbix.surface_fill_rect(s, { -1000000000, -1000000000, 2000000000, 2000000000 }, 5, 0, 0, 255), 0)
  t.eq(red(0, 0) + red(15, 15), 10, "one huge rectangle covers it all")
end)

t.test("the software renderer's fills, clip rectangles and scales cannot wrap its int clipping", function()
  local s = orbix.CreateRGBSurface(0, 64, 48, 32, 0xFF0000, 0xFF00, 0xFF, 0)
  local r = orbix.CreateSoftwareRenderer(s)
  local function red(x, y) return (orbix.get_surface_rgba(s, x, y)) end
  local function clear()
    orbix.SetRenderDrawColor(r, 0, 0, 0, 255)
    orbix.RenderClear(r)
    orbix.SetRenderDrawColor(r, 200, 0, 0, 255)
  end
  clear()
  t.eq(orbix.RenderFillRect(r, { 2147483520, 2147483520, 300, 300 }), 0)
  t.eq(orbix.RenderFillRect(r, { 0, 2147483520, 300, 300 }), 0)
  orbix.RenderPresent(r)
  t.eq(red(0, 0) + red(63, 47), 0, "far fills draw nothing")
  t.eq(orbix.RenderFillRect(r, { -1000000000, 5, 1000000010, 3 }), 0)
  orbix.RenderPresent(r)
  t.eq(red(0, 5) + red(9, 7), 400, "the part that shows is drawn")
  t.eq(red(10, 5) + red(5, 8), 0, "and only that part")

  -- A clip rectangle past 2^31 - 128 made even an ordinary fill write outside.
  clear()
  t.eq(orbix.RenderSetClipRect(r, { 2147483520, 2147483520, 300, 300 }), 0)
  t.eq(orbix.RenderFillRect(r, { 0, 0, 10, 10 }), 0)
  orbix.RenderPresent(r)
  t.eq(red(5, 5), 0, "clipped away")
  t.eq(orbix.RenderSetClipRect(r, { -2147483648, -2147483648, 2147483647, 2147483647 }), 0)
  t.eq(orbix.RenderFillRect(r, { 0, 0, 10, 10 }), 0)
  orbix.RenderPresent(r)
  t.eq(red(5, 5), 0, "a clip rectangle ending at -1 still shows nothing")
  t.eq(orbix.RenderSetClipRect(r, { -1000000000, -1000000000, 2000000000, 2000000000 }), 0)
  t.eq(orbix.RenderFillRect(r, { 0, 0, 10, 10 }), 0)
  orbix.RenderPresent(r)
  t.eq(red(5, 5), 200, "a huge clip rectangle lets everything through")
  t.eq(orbix.RenderSetClipRect(r, nil), 0)

  -- Scaled by 7e4, the primitives' 16-bit coordinates wrapped the same sums.
  for _, scale in ipairs({ 4097, 7e4, 1e30, 0 / 0, 1 / 0, -1 / 0, -5000 }) do
    t.eq(orbix.RenderSetScale(r, scale, 1), -1, tostring(scale))
    t.eq(orbix.GetError(), "Scale out of range")
    t.eq(orbix.RenderSetScale(r, 1, scale), -1)
  end
  clear()
  t.eq(orbix.RenderDrawPoint(r, 3, 4), 0)
  orbix.RenderPresent(r)
  t.eq(red(3, 4), 200, "a refused scale leaves the old one")
  t.eq(orbix.RenderSetScale(r, 4096, 4096), 0)
  for _, c in ipairs({ { 32767, 32767, -32768, -32768 }, { 30000, 0, 32000, 10 }, { -32768, 0, 32767, 0 } }) do
    t.eq(orbix.boxRGBA(r, c[1], c[2], c[3], c[4], 0, 0, 99, 255), 0)
    t.eq(orbix.roundedBoxRGBA(r, c[1], c[2], c[3], c[4], 300, 0, 99, 0, 255), 0)
    t.eq(orbix.RenderFillRect(r, { c[1], c[2], c[3], c[4] }), 0)
  end
  t.eq(orbix.RenderFillRect(r, { 2147483520, -2147483520, 300, 2147483647 }), 0)
  local tex = orbix.CreateTexture(r, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, 8, 6)
  t.eq(orbix.RenderCopyEx(r, tex, nil, { 20000, 0, 8, 6 }, 90, { 4, 3 }, 0), -1, "2^26 bounds hold after scaling")
  t.eq(orbix.RenderCopyEx(r, tex, nil, { 1, 0, 8, 6 }, 90, { 4, 3 }, 0), 0)
  orbix.RenderPresent(r)
  t.eq(orbix.RenderSetScale(r, 2, 2), 0)
  clear()
  t.eq(orbix.RenderFillRect(r, { -2147483643, 3, 2147483647, 1 }), 0)
  orbix.RenderPresent(r)
  t.eq(red(7, 6) + red(7, 7), 400, "scaled: logical x 3 is pixels 6 and 7, row 3 is 6 and 7")
  t.eq(red(8, 6) + red(7, 8), 0, "right edge and height kept")
  orbix.DestroyRenderer(r)
end)

t.test("rotated copies far outside the int range draw nothing instead of reading outside a mask", function()
  -- Found as RenderCopyEx(<software renderer>, <alpha texture, blending off>,
  -- nil, {3, 2^63, 1000, 0}, 270, {4294967295, 61}, 0): SDL's clipping
  -- wrapped and blitted a mask without pixels from 65,533 pixels past its start.
  local target = orbix.CreateRGBSurface(0, 64, 48, 32, 0xFF0000, 0xFF00, 0xFF, 0)
  local r = orbix.CreateSoftwareRenderer(target)
  local tex = orbix.CreateTexture(r, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, 8, 6)
  t.eq(orbix.SetTextureBlendMode(tex, orbix.BLENDMODE_NONE), 0)
  local far = { math.maxinteger, math.mininteger, 2147483647, -2147483648, 4294967295, 2147483646 }
  for _, v in ipairs(far) do
    for _, angle in ipairs({ 270, 90, 45, 179.5 }) do
      t.eq(orbix.RenderCopyEx(r, tex, nil, { 3, v, 1000, 0 }, angle, { 4294967295, 61 }, 0), -1)
      t.eq(orbix.GetError(), "Coordinates out of range")
      t.eq(orbix.RenderCopyEx(r, tex, nil, { v, 3, 0, 1000 }, angle, { 61, 20 }, 1), -1)
      t.eq(orbix.RenderCopyEx(r, tex, nil, { 5, 5, 5, 5 }, angle, { v, 2 }, 2), -1)
    end
  end
  orbix.RenderPresent(r)
  orbix.surface_fill_rect(target, nil, 0, 0, 255, 255)
  -- Right at the bounds the copies are still made, and land nowhere.
  for _, v in ipairs({ 67108864, -67108864 }) do
    for _, angle in ipairs({ 270, 30 }) do
      t.eq(orbix.RenderCopyEx(r, tex, nil, { v, v, 64, 48 }, angle, { v, -v }, 0), 0)
      t.eq(orbix.RenderCopyEx(r, tex, nil, { 3, v, 1000, 0 }, angle, { 0, 61 }, 0), 0)
    end
  end
  -- A rotation by NaN or infinity has no box to clip; SDL made -2^31 of it.
  for _, angle in ipairs({ 0 / 0, 1 / 0, -1 / 0 }) do
    t.eq(orbix.RenderCopyEx(r, tex, nil, { 21, 2, 65535, 1 }, angle, { -240, 61 }, 0), -1)
    t.eq(orbix.GetError(), "The angle is not a finite number")
  end
  orbix.RenderPresent(r)
  for _, p in ipairs({ { 0, 0 }, { 10, 10 }, { 32, 24 }, { 63, 47 } }) do
    t.eq(select(3, orbix.get_surface_rgba(target, p[1], p[2])), 255, "nothing was drawn")
  end
  -- An ordinary rotated copy still lands where it should.
  orbix.SetRenderDrawColor(r, 200, 10, 10, 255)
  orbix.SetRenderTarget(r, tex)
  orbix.RenderClear(r)
  orbix.SetRenderTarget(r, nil)
  t.eq(orbix.RenderCopyEx(r, tex, nil, { 20, 20, 8, 6 }, 90, { 4, 3 }, 0), 0)
  orbix.RenderPresent(r)
  t.eq(orbix.get_surface_rgba(target, 24, 23), 200, "the rotated copy is drawn")
  orbix.DestroyRenderer(r)
end)

t.test("tables whose metamethods free a surface are read before that surface is used", function()
  -- The fuzzer's trap tables free pool objects from inside __index and
  -- __len; surface_fill_rect then filled a freed surface (ASan: a write to
  -- unmapped memory in SDL_FillRect).
  local function freeing(victim)
    return setmetatable({}, {
      __index = function(_, k)
        orbix.FreeSurface(victim)
        return ({ 0, 0, 4, 4 })[k]
      end,
    })
  end
  local s = rgba_surface(8, 8)
  t.raises(function() orbix.surface_fill_rect(s, freeing(s), 1, 2, 3, 255) end, "surface has been freed")
  local a, b = rgba_surface(8, 8), rgba_surface(8, 8)
  t.eq(orbix.BlitSurface(a, freeing(b), b, { 0, 0, 4, 4 }), -1, "the destination freed by the source rectangle")
  t.truthy(orbix.GetError():find("src/dst", 1, true))
  local c = rgba_surface(8, 8)
  t.eq(orbix.BlitSurface(c, { 0, 0, 4, 4 }, a, freeing(c)), -1, "the source freed by the destination rectangle")
  local p = orbix.CreateRGBSurfaceWithFormat(0, 4, 4, 8, orbix.PIXELFORMAT_INDEX8)
  local palette = setmetatable({}, { __len = function() orbix.FreeSurface(p) return 1 end,
    __index = function() return { 1, 2, 3, 255 } end })
  t.raises(function() orbix.setColors(p, palette) end, "surface has been freed")
  -- the same tables without the freeing still work
  local q = orbix.CreateRGBSurfaceWithFormat(0, 4, 4, 8, orbix.PIXELFORMAT_INDEX8)
  orbix.setColors(q, setmetatable({}, { __len = function() return 1 end, __index = function() return { 9, 8, 7, 255 } end }))
  t.eq(table.concat(orbix.getColors(q)[1], ","), "9,8,7,255")
  local d = rgba_surface(8, 8)
  t.eq(orbix.surface_fill_rect(d, setmetatable({}, { __index = function(_, k) return ({ 2, 2, 1, 1 })[k] end }),
    50, 60, 70, 255), 0)
  t.eq(table.concat({ orbix.get_surface_rgba(d, 2, 2) }, ","), "50,60,70,255")
end)

t.test("an object whose owner is collected while its handle is being made gets an empty handle", function()
  -- With these settings every allocation runs a whole collection cycle,
  -- finalizers included, so the owner's finalizer runs inside the binding,
  -- between SDL making the object and the module recording it.
  local function every_allocation_collects(f)
    local pause, stepmul = collectgarbage("setpause", 0), collectgarbage("setstepmul", 1000000)
    collectgarbage("collect")  -- the new pause applies from the end of a cycle
    local ok, err = pcall(f)
    collectgarbage("setpause", pause)
    collectgarbage("setstepmul", stepmul)
    assert(ok, err)
  end
  local tex, alias, surface
  every_allocation_collects(function()
    local w, r = orbix.CreateWindowAndRenderer(16, 16, 0)
    w = nil  -- the window goes, and its renderer with it, at the next allocation
    tex = orbix.CreateTexture(r, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_STATIC, 4, 4)
  end)
  t.eq(select(5, orbix.QueryTexture(tex)), -1, "the renderer's texture went with it")
  local w2, r2 = orbix.CreateWindowAndRenderer(16, 16, 0)
  every_allocation_collects(function()
    -- the render target's only owning handle is garbage at once
    orbix.SetRenderTarget(r2, orbix.CreateTexture(r2, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, 4, 4))
    alias = orbix.GetRenderTarget(r2)
  end)
  t.eq(select(5, orbix.QueryTexture(alias)), -1, "the collected render target")
  every_allocation_collects(function()
    local w = orbix.CreateWindowAndRenderer(16, 16, 0)
    local window = w
    w = nil
    surface = orbix.GetWindowSurface(window)
    window = nil
    -- the window is collected while the renderer's handle is made
    t.eq(orbix.RenderClear(orbix.CreateSoftwareRenderer(surface)), -1, "no renderer into a freed surface")
  end)
  t.raises(function() orbix.getSurfaceWidthHeight(surface) end, "surface has been freed")
  -- still ordinary when nothing is collected
  local kept = orbix.CreateTexture(r2, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, 4, 4)
  t.eq(orbix.SetRenderTarget(r2, kept), 0)
  t.eq(select(5, orbix.QueryTexture(orbix.GetRenderTarget(r2))), 0)
  orbix.DestroyWindow(w2)
end)

orbix.Quit()
t.done()
