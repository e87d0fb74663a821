-- Loads a module that luarocks installed and checks it works:
--   lua5.3 check_rock.lua ROCK TREE_LIB_DIR [REFERENCE_DIR]
-- The module must come from TREE_LIB_DIR (not from the build or the system).
local rock, lib, reference = arg[1], arg[2], arg[3]
local failures = 0
local function check(ok, what)
  if not ok then
    print("FAIL " .. what)
    failures = failures + 1
  end
end

local path = package.searchpath(rock, package.cpath)
check(path == lib .. "/" .. rock .. ".so", rock .. " is found in the rocks tree, not at " .. tostring(path))

-- The names a module table holds, sorted, as one text.
local function key_list(t)
  local keys = {}
  for k in pairs(t) do keys[#keys + 1] = tostring(k) end
  table.sort(keys)
  return table.concat(keys, " "), #keys
end

if rock == "orbix" then
  local orbix = require "orbix"
  local keys, n = key_list(orbix)
  print("orbix: " .. n .. " keys")
  check(n == 278, "orbix has 278 keys")
  if reference and reference ~= "" then
    -- The CMake build of the same sources, in a fresh state.
    local built = assert(package.loadlib(reference .. "/orbix.so", "luaopen_orbix"))()
    check(key_list(built) == keys, "the rock's orbix has the same keys as the CMake build's")
  end
  check(orbix.Init(orbix.INIT_VIDEO) == 0, "Init: " .. orbix.GetError())
  local win, ren, status = orbix.CreateWindowAndRenderer(32, 16, 0)
  check(status == 0 and win and ren, "CreateWindowAndRenderer: " .. orbix.GetError())
  check(orbix.SetRenderDrawColor(ren, 10, 20, 30, 255) == 0, "SetRenderDrawColor")
  check(orbix.RenderClear(ren) == 0, "RenderClear")
  orbix.DestroyRenderer(ren)
  orbix.DestroyWindow(win)
  orbix.Quit()
elseif rock == "lua_fsop" then
  local entry = assert(package.loadlib(path, "fsop"))
  entry()
  local f = assert(io.open("ten_bytes.txt", "wb"))
  f:write("0123456789")
  f:close()
  check(filesize("ten_bytes.txt") == 10.0 and math.type(filesize("ten_bytes.txt")) == "float", "filesize")
  local listed = false
  for _, name in ipairs(ls()) do listed = listed or name == "ten_bytes.txt" end
  check(listed, "ls lists the file")
  check(realpath("x/../ten_bytes.txt") == cd() .. "/ten_bytes.txt", "realpath")
  print("lua_fsop: " .. realpath("ten_bytes.txt"))
elseif rock == "setvar" then
  local setvar = require "setvar"
  check(type(setvar) == "function", "require returns the setter")
  check(setvar("ROCK_TEST_VAR", "from the rock") == 0, "setvar returns 0")
  check(os.getenv("ROCK_TEST_VAR") == "from the rock", "the variable is set")
  print("setvar: ROCK_TEST_VAR=" .. tostring(os.getenv("ROCK_TEST_VAR")))
end
print(failures .. " failures")
os.exit(failures == 0)
