-- Without a manifest, from a folder whose name the ANSI code page cannot
-- spell ("工具 Größe"; the test platform's code page is 1252): the program
-- still finds and runs this script. The working directory is the program's
-- folder, which is how Windows starts a program opened from its folder.
local t = require "testlib"  -- found through .\?.lua, the working directory
local images = require "gdi_images"

-- What the script sees of its folder is the ANSI name: "?" for each
-- character the code page lacks, the others in the code page.
local ansi_folder = "?? Gr\xF6\xDF" .. "e"

t.test("the chunk name is the ANSI path, like exepath()", function()
  local home = exepath()
  t.eq(home:sub(-#ansi_folder - 1), "\\" .. ansi_folder)
  t.eq(debug.getinfo(1, "S").source, "@" .. home .. "\\init.lua")
end)

t.test("files beside the program open by relative names", function()
  local f = assert(io.open("init.lua"))
  f:close()
  local names, name = {}, Dir("*.lua")
  while name ~= "" do names[name] = true; name = Dir() end
  t.truthy(names["init.lua"] and names["testlib.lua"], "Dir of the working directory")
end)

-- Byte 0x80 is the euro sign in code page 1252 and U+0080, a control
-- character, in Latin-1; the file io makes and the one GDI+ looks for must
-- be the same file.
t.test("GDI+ reads a file name in the ANSI code page", function()
  local name = "\x80uro Gr\xF6\xDF" .. "e.png"
  images.png(name, 3, 2, function() return 1, 2, 3 end)
  GdiplusStartup()
  local image = GdipLoadImageFromFile(name)
  t.truthy(Ptr2Int(image) ~= 0, "GdipLoadImageFromFile")
  GdipDisposeImage(image)
  local bitmap = GdipCreateBitmapFromFile(name)
  t.truthy(Ptr2Int(bitmap) ~= 0, "GdipCreateBitmapFromFile")
  GdipDisposeImage(bitmap)
  GdiplusShutdown()
end)

t.done()
