-- Prints the scripting surface the way the built programs register it, one
-- entry a line: "<scope> <kind> <name> [<integer value>]". The editor
-- definitions, the luacheck standards and the constants page are generated
-- from this listing (gen.lua), so names and values always come from the
-- compiled registration tables, never from a second copy of them.
--
-- Run by scripthost.exe as its init.lua it lists every global the host's
-- Lua state holds (scope "host"); run by lua.exe it lists the globals of a
-- plain Lua state (scope "lua", the baseline the generator subtracts) and
-- what the three modules register (scopes "orbix", "lua_fsop", "setvar").

local lines = {}

local function kind_of(v)
  if math.type(v) then return math.type(v) end
  return type(v)
end

local function add(scope, name, v)
  local line = scope .. " " .. kind_of(v) .. " " .. name
  if math.type(v) == "integer" then line = line .. " " .. string.format("%d", v) end
  lines[#lines + 1] = line
end

local function list_table(scope, t)
  for k, v in pairs(t) do
    if type(k) == "string" then add(scope, k, v) end
  end
end

local function flush()
  table.sort(lines)
  io.write(table.concat(lines, "\n"), "\n")
  io.flush()
end

-- scripthost publishes hWin before init.lua runs; plain Lua has no such global.
if type(hWin) == "userdata" then
  list_table("host", _G)
  flush()
  os.exit(0)
end

list_table("lua", _G)

list_table("orbix", require "orbix")
-- The handle types live in the registry as named metatables.
for k, v in pairs(debug.getregistry()) do
  if type(k) == "string" and k:match("^orbix_") and type(v) == "table" then
    lines[#lines + 1] = "orbix metatable " .. k
  end
end

local before = {}
for k in pairs(_G) do before[k] = true end
local entry = assert(package.loadlib(assert(package.searchpath("lua_fsop", package.cpath)), "fsop"))
entry()
for k, v in pairs(_G) do
  if not before[k] then add("lua_fsop", k, v) end
end

add("setvar", "setvar", require "setvar")

flush()
