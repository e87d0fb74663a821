-- setvar under the argument fuzzer. Only variables whose names start with
-- FUZZV_ are ever set: a name argument that is a string or a number gets the
-- prefix (the empty name stays empty, which the setter refuses). After every
-- call the variables the process started with must be unchanged, and the
-- variable the call named must hold what the setter's rules say: NAME=value
-- cut to 254 bytes, "(null)" for a value without text, removed when the
-- value is empty. Every FUZZV_ variable is removed at the end.
local T = {}
local setvar = require "setvar"
local PREFIX = "FUZZV_"
local kLimit = 254

-- The names of the variables the process started with (Linux lists them in
-- /proc; elsewhere a few that matter).
local watched = {}
local f = io.open("/proc/self/environ", "rb")
if f then
  for entry in f:read("a"):gmatch("([^%z]+)") do
    local name = entry:match("^([^=]+)=")
    if name then watched[#watched + 1] = name end
  end
  f:close()
else
  watched = { "PATH", "HOME", "USERPROFILE", "TEMP", "LUA_PATH", "LUA_CPATH", "TEST_WORK_DIR", "SystemRoot" }
end
local before = {}
for _, name in ipairs(watched) do before[name] = os.getenv(name) end
local touched = {}

local function name_kind(g)
  if g.rng:chance(0.05) then return "" end
  return PREFIX .. g:string()
end
T.kinds = { name = name_kind }
T.lengths = { 248, 249, 250, 254, 255, 256, 257 }

-- The C text of a value as lua_tostring gives it (cut at a zero byte).
local function ctext(v)
  if type(v) ~= "string" and type(v) ~= "number" then return nil end
  return (tostring(v):match("^[^%z]*"))
end

local function guard(args)
  local v = args[1]
  if type(v) == "number" then v = tostring(v) end
  if type(v) == "string" and v ~= "" and v:sub(1, #PREFIX) ~= PREFIX then args[1] = PREFIX .. v end
end

T.functions = { { name = "setvar", fn = setvar, sig = { "name", "any" }, guard = guard } }

function T.setup() return T end

function T.check(_, args, res)
  for _, name in ipairs(watched) do
    if os.getenv(name) ~= before[name] then return "changed the variable " .. name end
  end
  if not res[1] then return nil end  -- argument errors: name not a string
  local rc = res[2]
  if res.n ~= 2 or (rc ~= 0 and rc ~= -1) then return "result " .. tostring(rc) end
  local text = (ctext(args[1]) or "") .. "=" .. (ctext(args[2]) or "(null)")
  text = text:sub(1, kLimit)
  local name, value = text:match("^([^=]*)=(.*)$")
  if not name or name == "" then
    if rc ~= -1 then return "accepted the text " .. string.format("%q", text) end
    return nil
  end
  touched[name] = true
  if rc ~= 0 then return "refused " .. string.format("%q", text) end
  local now = os.getenv(name)
  if value == "" then
    if now ~= nil and now ~= "" then return name .. " was not removed" end
  elseif now ~= value then
    return string.format("%s holds %q, not %q", name, tostring(now), value)
  end
  return nil
end

function T.finish()
  for name in pairs(touched) do
    if setvar(name, "") ~= 0 then return "could not remove " .. name end
    if os.getenv(name) then return name .. " still set" end
  end
  return nil
end

return T
