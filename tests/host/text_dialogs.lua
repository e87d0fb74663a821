-- Modal dialogs with texts and file names in CJK and accented letters, from
-- a folder named so, with one of the shipped manifests beside the program.
-- uiwatch answers each box as Unicode (steps in text.cmake, in order) and
-- prints what it saw (text_dialogs.expect).
local t = require "testlib"
local images = require "gdi_images"

local home = exepath()
local MB_OKCANCEL, IDCANCEL = 1, 2

local picture = home .. "\\写真 Bild é.png"
images.png(picture, 7, 5, function() return 200, 100, 50 end)
-- The folder dialog starts on the desktop, where this folder is the last
-- entry (the test prefix's desktop holds nothing else).
local desktop = os.getenv("USERPROFILE") .. "\\Desktop"
local chosen = desktop .. "\\選 Wählen"
os.execute('mkdir "' .. chosen .. '" 2>nul')

local function run()
  t.test("messageBox shows its text and caption", function()
    t.eq(messageBox(hWin, "本文 Größe", "標題 Ünï", MB_OKCANCEL), IDCANCEL)   -- step 1
  end)

  t.test("getInput shows prompt and text and returns what was typed", function()
    t.eq(getInput("問 Frage ä?", "初期 Anfang", "入力 Eingabe"), "答え Antwort ö") -- step 2
  end)

  t.test("OpenDialog returns the chosen file, which io and orbix open", function()
    local path = OpenDialog("Bilder\0*.png\0", "png")                         -- step 3
    t.eq(path, picture)
    local f = assert(io.open(path, "rb"))
    t.eq(f:read(4), "\137PNG")
    f:close()
    local orbix = require "orbix"
    local surface = orbix.IMG_Load(path)
    t.truthy(surface, "IMG_Load: " .. tostring(orbix.GetError()))
    t.eq(select(2, orbix.getSurfaceWidthHeight(surface)), 5)
  end)

  t.test("SaveDialog starts with the given name and returns it", function()
    local path = SaveDialog("保存 Datei ü.txt")                                  -- step 4
    t.eq(path, home .. "\\保存 Datei ü.txt")
    local f = assert(io.open(path, "w"))
    f:close()
    t.eq(Dir("保存*"), "保存 Datei ü.txt")
  end)

  t.test("SHBrowseForFolder returns the chosen folder", function()
    local path, name = SHBrowseForFolder("選ぶ Wählen")                          -- step 5
    t.eq(path, chosen)
    t.truthy(name:find("選 Wählen", 1, true), "display name " .. tostring(name))
  end)
  os.execute('rmdir "' .. chosen .. '"')
end

t.from_message_loop(run)
