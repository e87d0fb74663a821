-- Message boxes and the folder dialog driven by uiwatch (steps in
-- shell.cmake, in order); EndDialog and sndPlaySound need no helper.
local t = require "testlib"

local MB_YESNOCANCEL, MB_OKCANCEL, IDYES, IDCANCEL = 3, 1, 6, 2
local SND_NODEFAULT = 0x0002

local function run()
  t.test("messageBox returns the button pressed", function()
    t.eq(messageBox(hWin, "Save changes?", "Shell test", MB_YESNOCANCEL), IDYES)
    t.eq(messageBox(hWin, "Second box", "Shell test", MB_OKCANCEL + 0.4), IDCANCEL)
    t.raises(function() messageBox(hWin, "x", "y") end, "bad argument #4")
  end)

  t.test("SHBrowseForFolder returns path and display name", function()
    local path, name = t.count(2, SHBrowseForFolder("Pick a folder"))
    t.truthy(path:match("^%a:\\"), "path " .. path)
    t.truthy(#name > 0, "display name")
  end)

  t.test("SHBrowseForFolder cancelled gives nothing", function()
    t.count(0, SHBrowseForFolder())
  end)

  t.test("sndPlaySound gives 1 or 0", function()
    local r = sndPlaySound("no such sound file.wav", SND_NODEFAULT)  -- synchronous
    t.eq(r, 0)
  end)

  t.test("sndPlaySound from memory: only whole WAV images, played from the host's copy", function()
    local function u32(n) return string.pack("<I4", n) end
    local function u16(n) return string.pack("<I2", n) end
    local samples = string.rep("\128", 800)  -- 0.1 s of 8-bit silence at 8 kHz
    local body = "WAVE" .. "fmt " .. u32(16) .. u16(1) .. u16(1) .. u32(8000) .. u32(8000) .. u16(1) .. u16(8)
      .. "data" .. u32(#samples) .. samples
    local wav = "RIFF" .. u32(#body) .. body
    -- An image whose header claims more bytes than the string holds is refused
    -- before the system reads past the string.
    local lying = "RIFF" .. u32(#body + 100000) .. body
    t.eq(sndPlaySound(lying, SND_MEMORY | SND_NODEFAULT), 0)
    t.eq(sndPlaySound("not a sound", SND_MEMORY | SND_NODEFAULT), 0)
    -- A whole image plays on after the call from the host's copy, even when
    -- the script's string is collected at once.
    local r = sndPlaySound(wav .. "", SND_MEMORY | SND_ASYNC | SND_NODEFAULT)
    t.truthy(r == 0 or r == 1)
    wav = nil
    collectgarbage("collect")
    -- The next sound (synchronous) replaces it without touching the copy the
    -- first one plays from.
    r = sndPlaySound("RIFF" .. u32(#body) .. body, SND_MEMORY | SND_NODEFAULT)
    t.truthy(r == 0 or r == 1)
  end)

  t.test("EndDialog gives no result", function()
    t.count(0, EndDialog(nil, 0))
  end)
end

t.from_message_loop(run)
