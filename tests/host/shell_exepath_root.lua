-- A program in the root of a drive: its folder is the drive root itself.
local t = require "testlib"
t.test("exepath keeps the root's backslash", function()
  local dir = exepath()
  t.truthy(dir:match("^%a:\\$"), dir)
  t.eq(SetCurrentDirectory(dir), true)
  local cwd, n = GetCurrentDirectory()
  t.eq(cwd:lower(), dir:lower())
  t.eq(n, 3.0)
  t.eq(Dir("init.lua"), "init.lua")
end)
t.done()
