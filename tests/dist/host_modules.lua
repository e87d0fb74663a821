-- init.lua of scripthost.exe with all three modules beside it: orbix draws in
-- an SDL window of the host process and reads the pixels back; lua_fsop and
-- setvar load the way scripts load them. The host's own main window must keep
-- working alongside SDL's.
local t = require "testlib"

local orbix

t.test("orbix loads beside scripthost.exe", function()
  orbix = require "orbix"
  t.eq(type(orbix), "table")
  t.eq(package.loaded.orbix, orbix)
end)

local function pixel(s, x, y)
  return table.concat({ orbix.get_surface_rgba(s, x, y) }, ",")
end

t.test("SDL window: draw, read back, poll, quit", function()
  t.eq(orbix.Init(orbix.INIT_VIDEO | orbix.INIT_EVENTS), 0, orbix.GetError())
  local win, ren, status = orbix.CreateWindowAndRenderer(160, 120, 0)
  t.eq(status, 0, orbix.GetError())
  orbix.SetWindowTitle(win, "orbix in scripthost")

  -- Into a target texture, then onto the window itself.
  local tex = orbix.CreateTexture(ren, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_TARGET, 64, 64)
  t.eq(orbix.SetRenderTarget(ren, tex), 0, orbix.GetError())
  orbix.SetRenderDrawColor(ren, 0, 0, 0, 255)
  orbix.RenderClear(ren)
  orbix.boxRGBA(ren, 8, 8, 23, 23, 255, 0, 0, 255)
  local s = assert(orbix.texture_to_surface(ren, tex))
  t.eq(pixel(s, 10, 10), "255,0,0,255", "inside the box")
  t.eq(pixel(s, 40, 40), "0,0,0,255", "outside the box")
  orbix.FreeSurface(s)

  t.eq(orbix.SetRenderTarget(ren, nil), 0, orbix.GetError())
  orbix.SetRenderDrawColor(ren, 0, 0, 255, 255)
  orbix.RenderClear(ren)
  orbix.SetRenderDrawColor(ren, 0, 255, 0, 255)
  orbix.RenderFillRect(ren, { 32, 16, 16, 16 })
  -- The texture only gives the size: this reads the window's top-left 64x64.
  local w = assert(orbix.texture_to_surface(ren, tex))
  t.eq(pixel(w, 40, 20), "0,255,0,255", "window, inside the rectangle")
  t.eq(pixel(w, 5, 5), "0,0,255,255", "window, background")
  orbix.FreeSurface(w)
  orbix.RenderPresent(ren)

  for _ = 1, 5 do
    for _ in orbix.poll do end
    orbix.Delay(10)
  end
  orbix.Quit()
end)

t.test("the host window still answers after SDL", function()
  SetWindowText(hWin, "host after orbix")
  t.eq(GetWindowText(hWin), "host after orbix")
end)

t.test("lua_fsop: entry fsop registers the directory functions", function()
  local lib = assert(package.searchpath("lua_fsop", package.cpath))
  assert(package.loadlib(lib, "fsop"))()
  for _, name in ipairs { "ls", "cd", "mkdir", "rmdir", "realpath", "filesize" } do
    t.eq(type(_G[name]), "function", name)
  end
  mkdir("e2e.dir")
  local f = assert(io.open("e2e.dir/data.bin", "wb"))
  f:write(string.rep("x", 1234))
  f:close()
  t.eq(filesize("e2e.dir/data.bin"), 1234.0)
  local found = false
  for _, n in ipairs(ls()) do found = found or n == "e2e.dir" end
  t.truthy(found, "e2e.dir listed")
  t.truthy(realpath("e2e.dir"):match("^%a:\\.*e2e%.dir$"), "absolute Windows path")
  os.remove("e2e.dir/data.bin")
  rmdir("e2e.dir")
end)

t.test("setvar: visible to os.getenv and to started programs", function()
  local setvar = require "setvar"
  t.eq(setvar("SCRIPTHOST_E2E", "from init.lua"), 0)
  t.eq(os.getenv("SCRIPTHOST_E2E"), "from init.lua")
  local p = assert(io.popen("cmd /c echo %SCRIPTHOST_E2E%"))
  local out = p:read("a")
  p:close()
  t.eq(out:gsub("%s+$", ""), "from init.lua")
  t.eq(setvar("SCRIPTHOST_E2E", ""), 0)
  t.eq(os.getenv("SCRIPTHOST_E2E"), nil)
end)

t.done()
