-- Loading and using the two system modules, lua_fsop and setvar.
--
-- Runs with the console interpreter from the folder that holds the modules
-- (or with LUA_CPATH pointing there):
--   Windows:  lua.exe modules_sample.lua        (lua_fsop.dll, setvar.dll)
--   Linux:    lua5.3 modules_sample.lua         (lua_fsop.so, setvar.so)
-- Inside scripthost the same lines work in init.lua; use messageBox instead
-- of print there.

local windows = package.config:sub(1, 1) == "\\"

-- Also look beside the running script, where a distribution keeps its modules.
local here = (arg and arg[0] or ""):match("^(.*)[/\\]") or "."
package.cpath = package.cpath .. ";" .. here .. (windows and "\\?.dll" or "/?.so")

-- lua_fsop has no luaopen_ entry: load the library and call its entry "fsop",
-- which registers ls, cd, mkdir, rmdir, realpath and filesize as globals.
local lib = assert(package.searchpath("lua_fsop", package.cpath))
assert(package.loadlib(lib, "fsop"))()

-- setvar is an ordinary module whose value is the setter function.
local setvar = require "setvar"

local start = cd()
print("working directory: " .. start)

-- A scratch folder with one file in it.
local scratch = "modules-sample.tmp"
mkdir(scratch)
cd(scratch)
local f = assert(io.open("hello.txt", "wb"))
f:write("hello, world\n")
f:close()

local names = ls()
table.sort(names)
print("entries of " .. cd() .. ": " .. table.concat(names, ", "))
print("hello.txt is " .. filesize("hello.txt") .. " bytes")
print("its full path: " .. realpath("hello.txt"))

-- Errors are Lua errors: catch them when a failure is expected.
local ok, err = pcall(filesize, "no-such-file")
print("filesize of a missing file: " .. tostring(err))

-- Environment variables reach os.getenv and every program started afterwards.
setvar("SAMPLE_GREETING", "hi from Lua")
local p = io.popen(windows and "cmd /c echo %SAMPLE_GREETING%" or 'echo "$SAMPLE_GREETING"')
print("a child process sees: " .. p:read("l"))
p:close()
setvar("SAMPLE_GREETING", "")   -- an empty value removes it
print("after removal: " .. tostring(os.getenv("SAMPLE_GREETING")))

-- Clean up.
os.remove("hello.txt")
cd("..")
rmdir(scratch)
assert(cd() == start and not ok)
