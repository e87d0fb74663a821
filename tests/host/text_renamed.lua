-- A renamed program ("アプリ App.exe") opts in with the manifest named like
-- it ("アプリ App.exe.manifest"): its folder and name come back in UTF-8.
local t = require "testlib"

t.test("the manifest named after the program takes effect", function()
  local folder = "文字 Ünïcödé 工具"
  t.eq(exepath():sub(-#folder - 1), "\\" .. folder)
  t.eq(debug.getinfo(1, "S").source, "@" .. exepath() .. "\\init.lua")
  t.truthy(Command(0):find("\\アプリ App.exe", 1, true), Command(0))
end)

t.done()
