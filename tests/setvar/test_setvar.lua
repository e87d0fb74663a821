-- setvar: the same script runs with Debian's lua5.3 (setvar.so) and with
-- lua.exe under Wine (setvar.dll).
local t = require "testlib"

local windows = package.config:sub(1, 1) == "\\"

-- What a child process started now sees for the variable (nil when unset).
local function child_sees(name)
  local cmd = windows and ("cmd /c echo %" .. name .. "%")
                      or ("echo \"${" .. name .. "-<unset>}\"")
  local p = assert(io.popen(cmd))
  local out = p:read("a"):gsub("[\r\n]+$", "")
  p:close()
  if out == (windows and ("%" .. name .. "%") or "<unset>") then return nil end
  return out
end

local setvar = require "setvar"

t.test("require gives the setter function itself", function()
  t.eq(type(setvar), "function")
  t.eq(package.loaded.setvar, setvar)
end)

t.test("A=1 returns 0, is seen by getenv and by a child process", function()
  local rc = setvar("SETVAR_A", "1")
  t.eq(rc, 0)
  t.eq(math.type(rc), "integer")
  t.eq(os.getenv("SETVAR_A"), "1")
  t.eq(child_sees("SETVAR_A"), "1")
  t.eq(setvar("SETVAR_A", "changed value"), 0)
  t.eq(os.getenv("SETVAR_A"), "changed value")
  t.eq(child_sees("SETVAR_A"), "changed value")
end)

t.test("numbers become their text, other values \"(null)\"", function()
  t.eq(setvar("SETVAR_N", 5), 0)
  t.eq(os.getenv("SETVAR_N"), "5")
  t.eq(setvar("SETVAR_N", 2.5), 0)
  t.eq(os.getenv("SETVAR_N"), "2.5")
  t.eq(setvar("SETVAR_N"), 0)
  t.eq(os.getenv("SETVAR_N"), "(null)")
  t.eq(child_sees("SETVAR_N"), "(null)")
  t.eq(setvar("SETVAR_N", true), 0)
  t.eq(os.getenv("SETVAR_N"), "(null)")
  t.eq(setvar("SETVAR_N", {}), 0)
  t.eq(os.getenv("SETVAR_N"), "(null)")
  t.eq(setvar(7, "seven"), 0, "a number as the name")
  t.eq(os.getenv("7"), "seven")
end)

t.test("NAME=value is cut at 254 characters", function()
  -- "SETVAR_L=" is 9 characters, so 245 of the value survive
  t.eq(setvar("SETVAR_L", string.rep("v", 300)), 0)
  t.eq(os.getenv("SETVAR_L"), string.rep("v", 245))
  t.eq(#child_sees("SETVAR_L"), 245)
  t.eq(setvar("SETVAR_L", string.rep("w", 245)), 0, "exactly at the limit")
  t.eq(os.getenv("SETVAR_L"), string.rep("w", 245))
  t.eq(setvar("SETVAR_L", string.rep("x", 246)), 0, "one past the limit")
  t.eq(os.getenv("SETVAR_L"), string.rep("x", 245))
  -- a name so long that the "=" is cut off is no assignment at all
  t.eq(setvar(string.rep("N", 300), "value"), -1)
end)

t.test("an empty value removes the variable", function()
  setvar("SETVAR_R", "present")
  t.eq(child_sees("SETVAR_R"), "present")
  t.eq(setvar("SETVAR_R", ""), 0)
  t.eq(os.getenv("SETVAR_R"), nil)
  t.eq(child_sees("SETVAR_R"), nil)
  t.eq(setvar("SETVAR_R", ""), 0, "removing an absent variable")
end)

-- The module builds every assignment in one shared buffer: an earlier variable
-- must not change when the buffer is reused.
t.test("earlier variables survive later calls", function()
  setvar("SETVAR_B", "first")
  setvar("SETVAR_C", "second")
  setvar("SETVAR_D", string.rep("z", 200))
  t.eq(os.getenv("SETVAR_B"), "first")
  t.eq(os.getenv("SETVAR_C"), "second")
  t.eq(child_sees("SETVAR_B"), "first")
  t.eq(setvar("SETVAR_E", "x=y"), 0, "the value may hold '='")
  t.eq(os.getenv("SETVAR_E"), "x=y")
end)

t.test("a failed update returns -1 and raises nothing", function()
  t.eq(setvar("", "value"), -1, "empty name")
  t.eq(os.getenv("SETVAR_B"), "first")
end)

t.test("the name is required", function()
  t.raises(function() setvar() end, "bad argument #1")
  t.raises(function() setvar(nil, "x") end, "bad argument #1")
  t.raises(function() setvar({}, "x") end, "bad argument #1")
end)

t.done()
