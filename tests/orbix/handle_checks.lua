-- Handle checks: a binding accepts only a handle of its own type, and
-- refuses everything else with the auxiliary library's standard argument
-- error, word for word, whichever way the check is made.
local t = require "testlib"
local orbix = require "orbix"
local H = require "helpers"

H.init()
local win, ren = H.window(16, 16)
local tex = orbix.CreateTexture(ren, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_STATIC, 4, 4)
local surf = orbix.CreateRGBSurfaceWithFormat(0, 4, 4, 32, orbix.PIXELFORMAT_RGBA32)

-- The full error text of calling orbix[name] with the given arguments.
local function refusal(name, ...)
  local ok, err = pcall(orbix[name], ...)
  t.falsy(ok, name .. " raised")
  return err
end

local function expected(pos, name, want, got)
  return string.format("bad argument #%d to 'orbix.%s' (%s expected, got %s)", pos, name, want, got)
end

-- A userdata that is no handle (a file), and one that claims a handle's name
-- in a metatable of its own.
local file = io.tmpfile()
local impostor = io.tmpfile()
debug.setmetatable(impostor, { __name = "orbix_surface" })

t.test("values that are not handles of the right type are refused with the standard text", function()
  local cases = {
    { file, "FILE*" }, { tex, "orbix_texture" }, { ren, "orbix_renderer" }, { impostor, "orbix_surface" },
    { {}, "table" }, { 7, "number" }, { "s", "string" }, { nil, "no value" },
  }
  for _, c in ipairs(cases) do
    local v, got = c[1], c[2]
    if v == nil then
      t.eq(refusal("get_surface_rgba"), expected(1, "get_surface_rgba", "orbix_surface", got))
    else
      t.eq(refusal("get_surface_rgba", v, 0, 0), expected(1, "get_surface_rgba", "orbix_surface", got), got)
      t.eq(refusal("set_surface_rgba", v, 0, 0, 1, 2, 3, 4), expected(1, "set_surface_rgba", "orbix_surface", got))
      t.eq(refusal("getSurfaceWidthHeight", v), expected(1, "getSurfaceWidthHeight", "orbix_surface", got))
    end
  end
  t.eq(refusal("RenderCopy", ren, surf, nil, nil), expected(2, "RenderCopy", "orbix_texture", "orbix_surface"))
  t.eq(refusal("RenderCopy", tex, tex, nil, nil), expected(1, "RenderCopy", "orbix_renderer", "orbix_texture"))
  t.eq(refusal("RenderCopy", file, tex, nil, nil), expected(1, "RenderCopy", "orbix_renderer", "FILE*"))
  t.eq(refusal("lineRGBA", surf, 0, 0, 1, 1, 255, 255, 255, 255),
       expected(1, "lineRGBA", "orbix_renderer", "orbix_surface"))
  t.eq(refusal("filledcircleRGBA", impostor, 0, 0, 1, 255, 255, 255, 255),
       expected(1, "filledcircleRGBA", "orbix_renderer", "orbix_surface"))
  t.eq(refusal("FreeSurface", tex), expected(1, "FreeSurface", "orbix_surface", "orbix_texture"))
  t.eq(refusal("DestroyTexture", impostor), expected(1, "DestroyTexture", "orbix_texture", "orbix_surface"))
end)

t.test("a table wearing a handle's metatable is not a handle", function()
  local fake = setmetatable({}, getmetatable(surf))
  t.eq(refusal("get_surface_rgba", fake, 0, 0), expected(1, "get_surface_rgba", "orbix_surface", "orbix_surface"))
  local fake_renderer = setmetatable({}, getmetatable(ren))
  t.eq(refusal("RenderCopy", fake_renderer, tex, nil, nil),
       expected(1, "RenderCopy", "orbix_renderer", "orbix_renderer"))
  -- Collecting them would call the release routines with a table (refused
  -- there too, as an error in __gc): take the metatables off first.
  setmetatable(fake, nil)
  setmetatable(fake_renderer, nil)
end)

t.test("numbers are checked after handles are recognised, in the documented order", function()
  t.eq(refusal("get_surface_rgba", surf, "x", 0), expected(2, "get_surface_rgba", "number", "string"))
  t.eq(refusal("get_surface_rgba", file, "x", 0), expected(1, "get_surface_rgba", "orbix_surface", "FILE*"))
  -- Primitives read their numbers from the last down, then the renderer.
  t.eq(refusal("lineRGBA", file, 0, 0, 1, 1, 255, 255, 255, {}), expected(9, "lineRGBA", "number", "table"))
  t.eq(refusal("lineRGBA", ren, 0, "2.5x", 1, 1, 255, 255, 255, 255), expected(3, "lineRGBA", "number", "string"))
end)

t.test("released handles are empty for every check", function()
  local s = orbix.CreateRGBSurfaceWithFormat(0, 2, 2, 32, orbix.PIXELFORMAT_RGBA32)
  orbix.FreeSurface(s)
  t.raises(function() orbix.get_surface_rgba(s, 0, 0) end, "surface has been freed")
  t.raises(function() orbix.set_surface_rgba(s, 0, 0, 1, 2, 3, 4) end, "surface has been freed")
  orbix.FreeSurface(s)  -- a second release still passes the check
  local w2, r2 = H.window(8, 8)
  local t2 = orbix.CreateTexture(r2, orbix.PIXELFORMAT_RGBA32, orbix.TEXTUREACCESS_STATIC, 2, 2)
  orbix.DestroyRenderer(r2)
  t.eq(orbix.RenderCopy(r2, t2, nil, nil), -1, "empty renderer and texture reach SDL as null")
  t.eq(orbix.lineRGBA(r2, 0, 0, 4, 4, 255, 255, 255, 255), -1)
  orbix.DestroyWindow(w2)
end)

t.test("handles made before the module is opened again in the same state still pass", function()
  local open = package.loadlib(package.searchpath("orbix", package.cpath), "luaopen_orbix")
  local again = open()
  orbix.set_surface_rgba(surf, 1, 1, 10, 20, 30, 40)
  t.eq(table.concat({ again.get_surface_rgba(surf, 1, 1) }, ","), "10,20,30,40")
  t.eq(again.RenderCopy(ren, tex, nil, { 0, 0, 4, 4 }), 0)
  local ok, err = pcall(again.get_surface_rgba, file, 0, 0)
  t.falsy(ok)
  t.truthy(err:find("orbix_surface expected, got FILE*", 1, true), err)
  -- Handles made through the new table are the same types.
  local s2 = again.CreateRGBSurfaceWithFormat(0, 2, 2, 32, orbix.PIXELFORMAT_RGBA32)
  t.eq(select("#", orbix.getSurfaceWidthHeight(s2)), 2)
  t.eq(getmetatable(s2), getmetatable(surf))
end)

t.test("collected handles are released through the same check", function()
  for _ = 1, 200 do orbix.CreateRGBSurfaceWithFormat(0, 8, 8, 32, orbix.PIXELFORMAT_RGBA32) end
  H.gc()
  t.eq(orbix.getSurfaceWidthHeight(surf), 4, "live handles unaffected")
end)

orbix.DestroyWindow(win)
orbix.Quit()
t.done()
