-- The shipped editor files against what the built programs register, both
-- ways: every registered function, constant and handle type has a
-- definition with the right value, and every definition names something
-- registered. The definitions are read as a user's tools read them (the
-- meta files run as Lua, the luacheck config as luacheck loads it), not
-- through the generator.
--
--   lua5.3 coverage.lua SURFACE_FILE SOURCE_ROOT
local t = require "testlib"

local surface_file, root = arg[1], arg[2]
assert(surface_file and root, "usage: coverage.lua SURFACE_FILE SOURCE_ROOT")

local function read(path)
  local f = assert(io.open(path, "rb"), "cannot read " .. path)
  local s = f:read("a")
  f:close()
  return s
end

-- scope -> name -> { kind, value }
local surface = {}
for line in read(surface_file):gmatch("[^\n]+") do
  local scope, kind, name, value = line:match("^(%S+) (%S+) (%S+) ?(%S*)$")
  surface[scope] = surface[scope] or {}
  surface[scope][name] = { kind = kind, value = math.tointeger(tonumber(value)) }
end

local registered = { functions = {}, constants = {}, values = {} }
for name, e in pairs(surface.host) do
  if not surface.lua[name] then
    if e.kind == "function" then registered.functions[name] = true
    elseif e.kind == "integer" then registered.constants[name] = e.value
    else registered.values[name] = true end
  end
end

local LIB = root .. "/types/luals/library/"

-- Runs a definition file in an empty environment: what it defines is what
-- a script would see if the file were the runtime.
local function run_definitions(file)
  local env = {}
  local chunk = assert(load(read(LIB .. file), "@" .. file, "t", env))
  local result = chunk()
  return env, result
end

local function compare(what, defined, wanted)
  for name, v in pairs(wanted) do
    if defined[name] == nil then error(string.format("%s: %s is registered but not defined", what, name), 0) end
    if v ~= true then
      if defined[name] ~= v or math.type(defined[name]) ~= "integer" then
        error(string.format("%s: %s is %s, registered as %s", what, name, tostring(defined[name]), v), 0)
      end
    end
  end
  for name in pairs(defined) do
    if wanted[name] == nil then error(string.format("%s: %s is defined but nothing registers it", what, name), 0) end
  end
end

t.test("scripthost.lua defines every host function and constant with its value, and nothing else", function()
  local env = run_definitions("scripthost.lua")
  local functions, constants = {}, {}
  for name, v in pairs(env) do
    if type(v) == "function" then functions[name] = true
    elseif math.type(v) == "integer" then constants[name] = v
    else error("unexpected definition " .. name .. " of type " .. type(v), 0) end
  end
  t.truthy(functions.dialog_callback, "dialog_callback is defined")
  functions.dialog_callback = nil   -- the script's own, not registered
  compare("host functions", functions, registered.functions)
  compare("host constants", constants, registered.constants)
end)

t.test("the host's handle globals are declared with a type", function()
  local text = read(LIB .. "scripthost.lua")
  for name in pairs(registered.values) do
    t.truthy(text:find("\n%-%-%-@type [%w_.|]+\n" .. name .. " = nil\n"), name .. " declared")
  end
  for _, later in ipairs { "sharedhWin", "dialog_hwin" } do
    t.truthy(text:find("\n" .. later .. " = nil\n", 1, true), later .. " declared")
  end
end)

t.test("orbix.lua returns the module table with every function, constant and handle class", function()
  local _, orbix = run_definitions("orbix.lua")
  t.eq(type(orbix), "table")
  local functions, constants, classes = {}, {}, {}
  for name, v in pairs(orbix) do
    if type(v) == "function" then functions[name] = true
    elseif math.type(v) == "integer" then constants[name] = v
    else error("unexpected orbix field " .. name, 0) end
  end
  local want_f, want_c, want_classes = {}, {}, {}
  for name, e in pairs(surface.orbix) do
    if e.kind == "function" then want_f[name] = true
    elseif e.kind == "integer" then want_c[name] = e.value
    elseif e.kind == "metatable" then want_classes[name] = true end
  end
  compare("orbix functions", functions, want_f)
  compare("orbix constants", constants, want_c)
  for name in read(LIB .. "orbix.lua"):gmatch("%-%-%-@class (orbix_[%w_]+)") do classes[name] = true end
  compare("orbix handle classes", classes, want_classes)
end)

t.test("lua_fsop.lua defines exactly the six globals of fsop, setvar.lua returns a function", function()
  local env = run_definitions("lua_fsop.lua")
  local want = {}
  for name in pairs(surface.lua_fsop) do want[name] = true end
  local got = {}
  for name, v in pairs(env) do t.eq(type(v), "function", name); got[name] = true end
  compare("lua_fsop", got, want)
  local _, setvar = run_definitions("setvar.lua")
  t.eq(type(setvar), surface.setvar.setvar.kind)
end)

t.test("luacheckrc: scripthost and lua_fsop standards hold exactly the registered globals", function()
  local stds = {}
  assert(load(read(root .. "/types/luacheckrc"), "@luacheckrc", "t", { stds = stds }))()
  local host = {}
  for _, n in ipairs(stds.scripthost.read_globals) do host[n] = true end
  local want = {}
  for n in pairs(registered.functions) do want[n] = true end
  for n in pairs(registered.constants) do want[n] = true end
  for n in pairs(registered.values) do want[n] = true end
  want.sharedhWin, want.dialog_hwin = true, true
  compare("scripthost read_globals", host, want)
  t.eq(#stds.scripthost.globals, 1)
  t.eq(stds.scripthost.globals[1], "dialog_callback")
  local fsop = {}
  for _, n in ipairs(stds.lua_fsop.read_globals) do fsop[n] = true end
  local want_fsop = {}
  for n in pairs(surface.lua_fsop) do want_fsop[n] = true end
  compare("lua_fsop read_globals", fsop, want_fsop)
end)

t.test("config.json declares every global the runtime defines", function()
  local json = read(root .. "/types/luals/config.json")
  local list = assert(json:match('"Lua%.diagnostics%.globals"%s*:%s*(%b[])'), "Lua.diagnostics.globals")
  local got = {}
  for n in list:gmatch('"([^"]+)"') do got[n] = true end
  local want = { dialog_callback = true, sharedhWin = true, dialog_hwin = true }
  for n in pairs(registered.functions) do want[n] = true end
  for n in pairs(registered.constants) do want[n] = true end
  for n in pairs(registered.values) do want[n] = true end
  for n in pairs(surface.lua_fsop) do want[n] = true end
  compare("Lua.diagnostics.globals", got, want)
end)

t.done()
