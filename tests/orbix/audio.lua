-- Audio on SDL's dummy (or disk) driver: the device, WAV chunks written by
-- this script, channel selection, playback that follows the handle, and
-- music load/play/fade/halt. Under AddressSanitizer any double free or use
-- after free in the release sequences aborts the run.
local t = require "testlib"
local orbix = require "orbix"
local H = require "helpers"

local RATE = 22050

-- A mono 16-bit PCM WAV of `seconds` of a square wave.
local function write_wav(name, seconds, period)
  local frames = math.floor(RATE * seconds)
  local samples = {}
  for i = 0, frames - 1 do
    samples[#samples + 1] = string.pack("<i2", (i // (period or 50)) % 2 == 0 and 8000 or -8000)
  end
  local data = table.concat(samples)
  local f = assert(io.open(name, "wb"))
  f:write(string.pack("<c4I4c4", "RIFF", 36 + #data, "WAVE"))
  f:write(string.pack("<c4I4I2I2I4I4I2I2", "fmt ", 16, 1, 1, RATE, RATE * 2, 2, 16))
  f:write(string.pack("<c4I4", "data", #data), data)
  f:close()
  return name
end

local long_wav = write_wav("long.wav", 1.0)
local short_wav = write_wav("short.wav", 0.05, 20)
local music_wav = write_wav("music.wav", 2.0, 80)

assert(orbix.Init(orbix.INIT_AUDIO) == 0, orbix.GetError())

t.test("Mix_OpenAudio needs all four integers", function()
  t.raises(function() orbix.Mix_OpenAudio(RATE, orbix.AUDIO_S16, 2) end, "bad argument #4")
  t.raises(function() orbix.Mix_OpenAudio(RATE, orbix.AUDIO_S16, "two", 1024) end, "bad argument #3")
  t.eq(orbix.Mix_OpenAudio(RATE, orbix.AUDIO_S16, 2, 1024), 0, orbix.GetError())
end)

-- SDL_mixer allocates 8 channels. Filling them all with an endless loop is
-- how a script sees which channels are busy: -1 fails once none is free.
local CHANNELS = 8

t.test("chunks load from WAV files and play on the requested channel", function()
  local chunk = orbix.Mix_LoadWAV(long_wav)
  t.eq(getmetatable(chunk).__name, "orbix_soundchunk")
  t.eq(orbix.Mix_PlayChannel(nil, chunk, -1), 0, "nil names channel 0")
  t.eq(orbix.Mix_PlayChannel(-1, chunk, -1), 1, "first free channel")
  t.eq(orbix.Mix_PlayChannel(5, chunk, 0), 5)
  t.eq(orbix.Mix_PlayChannel("junk", chunk, 0), 0, "loose channel reads 0")
  t.eq(orbix.Mix_PlayChannel(-1, chunk, -1), 2)
  orbix.Mix_FreeChunk(chunk)
end)

t.test("a chunk's channels stop when it is freed or collected", function()
  local chunk = orbix.Mix_LoadWAV(long_wav)
  for ch = 0, CHANNELS - 1 do t.eq(orbix.Mix_PlayChannel(-1, chunk, -1), ch) end
  t.eq(orbix.Mix_PlayChannel(-1, chunk, -1), -1, "all channels busy")
  orbix.Mix_FreeChunk(chunk)
  local other = orbix.Mix_LoadWAV(long_wav)
  t.eq(orbix.Mix_PlayChannel(-1, other, -1), 0, "freeing stopped every channel")
  for ch = 1, CHANNELS - 1 do orbix.Mix_PlayChannel(-1, other, -1) end
  t.eq(orbix.Mix_PlayChannel(-1, other, -1), -1)
  other = nil
  H.gc()
  local third = orbix.Mix_LoadWAV(long_wav)
  t.eq(orbix.Mix_PlayChannel(-1, third, 0), 0, "collection stopped every channel")
  orbix.Mix_FreeChunk(third)
end)

t.test("a short chunk frees its channel when it ends", function()
  local chunk = orbix.Mix_LoadWAV(short_wav)
  for ch = 0, CHANNELS - 1 do t.eq(orbix.Mix_PlayChannel(ch, chunk, 0), ch) end
  orbix.Delay(400)
  t.eq(orbix.Mix_PlayChannel(-1, chunk, 0), 0)
  orbix.Mix_FreeChunk(chunk)
end)

t.test("missing files give no value and keep SDL's reason", function()
  t.count(0, orbix.Mix_LoadWAV("no-such-file.wav"))
  t.truthy(#orbix.GetError() > 0, "error text")
  t.count(0, orbix.Mix_LoadMUS("no-such-file.wav"))
  local f = assert(io.open("garbage.wav", "wb"))
  f:write(("not a sound "):rep(20))
  f:close()
  t.count(0, orbix.Mix_LoadWAV("garbage.wav"))
  t.count(0, orbix.Mix_LoadMUS("garbage.wav"))
end)

t.test("double free and free then collect are harmless", function()
  local chunk = orbix.Mix_LoadWAV(short_wav)
  local music = orbix.Mix_LoadMUS(music_wav)
  orbix.Mix_FreeChunk(chunk)
  orbix.Mix_FreeChunk(chunk)
  orbix.Mix_FreeMusic(music)
  orbix.Mix_FreeMusic(music)
  t.eq(orbix.Mix_PlayChannel(-1, chunk, 0), -1, "an empty chunk does not play")
  t.eq(orbix.Mix_PlayMusic(music, 0), -1, "an empty music does not play")
  chunk, music = nil, nil
  H.gc()
end)

t.test("wrong handle types raise argument errors", function()
  local chunk = orbix.Mix_LoadWAV(short_wav)
  local music = orbix.Mix_LoadMUS(music_wav)
  t.raises(function() orbix.Mix_PlayChannel(-1, music, 0) end, "orbix_soundchunk")
  t.raises(function() orbix.Mix_PlayMusic(chunk, 0) end, "orbix_music")
  t.raises(function() orbix.Mix_FreeChunk(music) end, "orbix_soundchunk")
  t.raises(function() orbix.Mix_FreeMusic(nil) end, "orbix_music")
  t.raises(function() orbix.Mix_PlayChannel(-1, chunk) end, "bad argument #3")
  t.raises(function() orbix.Mix_PlayMusic(music) end, "bad argument #2")
  t.raises(function() orbix.Mix_FadeOutMusic() end, "bad argument #1")
  t.raises(function() orbix.Mix_LoadWAV({}) end, "bad argument #1")
end)

t.test("music loads, plays, fades and halts", function()
  local music = orbix.Mix_LoadMUS(music_wav)
  t.eq(getmetatable(music).__name, "orbix_music")
  t.eq(orbix.Mix_FadeOutMusic(10), 0, "nothing playing: no fade")
  t.eq(orbix.Mix_PlayMusic(music, -1), 0, orbix.GetError())
  t.eq(orbix.Mix_FadeOutMusic(100), 1, "fading the playing music")
  orbix.Delay(400)
  t.eq(orbix.Mix_FadeOutMusic(10), 0, "the fade ended the music")
  t.eq(orbix.Mix_PlayMusic(music, 0), 0)
  t.eq(orbix.Mix_HaltMusic(), 0)
  t.eq(orbix.Mix_FadeOutMusic(10), 0, "halted")
  orbix.Mix_FreeMusic(music)
end)

t.test("music stops when its handle is freed or collected", function()
  local music = orbix.Mix_LoadMUS(music_wav)
  t.eq(orbix.Mix_PlayMusic(music, -1), 0)
  orbix.Mix_FreeMusic(music)
  t.eq(orbix.Mix_FadeOutMusic(10), 0, "freed music no longer plays")
  t.eq(orbix.Mix_PlayMusic(orbix.Mix_LoadMUS(music_wav), -1), 0)
  H.gc()
  t.eq(orbix.Mix_FadeOutMusic(10), 0, "collected music no longer plays")
end)

t.test("handles outlive Mix_CloseAudio and Mix_Quit", function()
  local chunk = orbix.Mix_LoadWAV(long_wav)
  local music = orbix.Mix_LoadMUS(music_wav)
  t.eq(orbix.Mix_PlayChannel(-1, chunk, -1), 0)
  t.eq(orbix.Mix_PlayMusic(music, -1), 0)
  orbix.Mix_CloseAudio()
  t.eq(orbix.Mix_PlayChannel(-1, chunk, 0), -1, "no device")
  orbix.Mix_FreeChunk(chunk)
  local kept = orbix.Mix_LoadMUS(music_wav)
  t.eq(kept ~= nil, true, "music loads without a device")
  orbix.Mix_Quit()
  -- Mix_Quit released the remaining music; the handles are empty now.
  t.eq(orbix.Mix_PlayMusic(kept, 0), -1)
  orbix.Mix_FreeMusic(music)
  orbix.Mix_FreeMusic(kept)
  orbix.Mix_FreeChunk(chunk)
  chunk, music, kept = nil, nil, nil
  H.gc()
  -- The mixer comes back after all that.
  t.eq(orbix.Mix_OpenAudio(RATE, orbix.AUDIO_S16, 2, 512), 0, orbix.GetError())
  local again = orbix.Mix_LoadWAV(short_wav)
  t.eq(orbix.Mix_PlayChannel(-1, again, 0), 0)
  orbix.Mix_CloseAudio()
  orbix.Mix_Quit()
end)

t.done()
