-- lua_fsop: the same script runs with Debian's lua5.3 (lua_fsop.so) and with
-- lua.exe under Wine (lua_fsop.dll). It works inside its own empty folder.
local t = require "testlib"

local windows = package.config:sub(1, 1) == "\\"
local sep = windows and "\\" or "/"
local wine = windows and os.getenv("WINEPREFIX") ~= nil

local lib = assert(package.searchpath("lua_fsop", package.cpath))

-- Every message raised by the module carries the position of the calling line.
local function raised_here(err, text)
  local prefix = err:sub(1, #err - #text)
  t.truthy(err:sub(-#text) == text and prefix:match("test_fsop%.lua:%d+: $"),
    string.format("%q with a position prefix, got %q", text, err))
end

local function write(name, data)
  local f = assert(io.open(name, "wb"))
  f:write(data)
  f:close()
end

local function sorted(list)
  local copy = {}
  for i, v in ipairs(list) do copy[i] = v end
  table.sort(copy)
  return table.concat(copy, " ")
end

local function has(list, name)
  for _, v in ipairs(list) do if v == name then return true end end
  return false
end

t.test("the entry registers the six globals and returns nothing", function()
  local entry = assert(package.loadlib(lib, "fsop"))
  t.count(0, entry())
  for _, name in ipairs { "ls", "cd", "mkdir", "rmdir", "realpath", "filesize" } do
    t.eq(type(_G[name]), "function", name)
  end
  -- no conventional module entry: require cannot load it
  t.falsy(package.loadlib(lib, "luaopen_lua_fsop"), "luaopen_lua_fsop")
end)

if not ls then t.done() end

local home = cd()

t.test("the exported lua_realpath and lua_filesize are realpath and filesize", function()
  local rp = assert(package.loadlib(lib, "lua_realpath"))
  local fs = assert(package.loadlib(lib, "lua_filesize"))
  t.eq(rp("a/../b"), realpath("a/../b"))
  write("ten", "0123456789")
  t.eq(fs("ten"), 10.0)
  os.remove("ten")
end)

t.test("ls in an empty folder, then with hidden and ordinary entries", function()
  mkdir("empty")
  cd("empty")
  t.eq(sorted(ls()), ". ..")
  write(".hidden", "x")
  write("plain.txt", "")
  mkdir("sub")
  if windows then
    write("system", "")
    os.execute('attrib +h +s system >NUL 2>&1')
  end
  local list = ls("extra", 1, {})  -- extra arguments are ignored
  t.eq(sorted(list), windows and ". .. .hidden plain.txt sub system" or ". .. .hidden plain.txt sub")
  local n = 0
  for k in pairs(list) do n = n + 1; t.eq(math.type(k), "integer") end
  t.eq(n, #list, "only the sequence 1..n")
  t.truthy(ls() ~= list, "a new table on every call")
  os.remove(".hidden"); os.remove("plain.txt"); os.remove("system"); rmdir("sub")
  cd("..")
  rmdir("empty")
  t.eq(cd(), home)
end)

t.test("cd returns the working directory and moves through it", function()
  t.eq(cd(), home, "no argument: unchanged")
  t.eq(cd(), home)
  mkdir("deeper")
  t.eq(cd("deeper"), home .. sep .. "deeper")
  t.eq(cd(".."), home)
  mkdir(42)                                      -- numbers are paths too
  t.eq(cd(42), home .. sep .. "42")
  t.eq(cd(home), home)
  rmdir("42"); rmdir("deeper")
end)

t.test("cd to a missing folder raises and stays put", function()
  local err = t.raises(function() cd("no-such-folder") end, "can't cd")
  raised_here(err, "can't cd")
  t.eq(cd(), home)
  t.raises(function() cd(nil) end, "bad argument #1 to 'cd'")
  t.raises(function() cd({}) end, "bad argument #1 to 'cd'")
end)

t.test("mkdir and rmdir with and without an argument", function()
  t.count(0, mkdir())
  t.count(0, rmdir())
  t.count(0, mkdir("made"))
  t.truthy(has(ls(), "made"))
  raised_here(t.raises(function() mkdir("made") end, "can't mkdir"), "can't mkdir")
  raised_here(t.raises(function() mkdir("a/b/c") end, "can't mkdir"), "can't mkdir")  -- no recursion
  write("made/file", "x")
  raised_here(t.raises(function() rmdir("made") end, "can't rmdir"), "can't rmdir")   -- not empty
  os.remove("made/file")
  t.count(0, rmdir("made"))
  t.falsy(has(ls(), "made"))
  raised_here(t.raises(function() rmdir("made") end, "can't rmdir"), "can't rmdir")
  t.raises(function() mkdir({}) end, "bad argument #1 to 'mkdir'")
  t.raises(function() rmdir(true) end, "bad argument #1 to 'rmdir'")
end)

t.test("filesize gives floats, Error 2 for a missing file", function()
  write("ten", "0123456789")
  local size = filesize("ten")
  t.eq(size, 10.0)
  t.eq(math.type(size), "float")
  write("empty", "")
  t.eq(filesize("empty"), 0.0)
  write("big", string.rep("x", 100000))
  t.eq(filesize("big"), 100000.0)
  t.eq(filesize(home .. sep .. "big"), 100000.0)
  os.remove("ten"); os.remove("empty"); os.remove("big")
  raised_here(t.raises(function() filesize("missing.txt") end, "Error 2"), "Error 2")
  raised_here(t.raises(function() filesize() end, "I'd like to have an argument, please.\n"),
    "I'd like to have an argument, please.\n")
  t.raises(function() filesize({}) end, "bad argument #1 to 'filesize'")
end)

t.test("realpath folds relative paths that do not exist", function()
  local parent = home:match("^(.*)[/\\][^/\\]+$")
  if parent == "" or parent:match("^%a:$") then parent = parent .. sep end
  t.eq(realpath("missing/../also/missing"), home .. sep .. "also" .. sep .. "missing")
  t.eq(realpath("."), home)
  t.eq(realpath("a/./b//c"), home .. sep .. "a" .. sep .. "b" .. sep .. "c")
  t.eq(realpath(".."), parent)
  t.eq(realpath("../x/.."), parent)
  t.eq(realpath("x/"), home .. sep .. "x" .. sep, "a trailing separator stays")
  t.eq(realpath(""), home)
  t.eq(realpath(7), home .. sep .. "7")
  if windows then
    t.eq(realpath("C:\\one\\..\\two\\.\\three"), "C:\\two\\three")
    t.eq(realpath("C:/.."), "C:\\")
  else
    t.eq(realpath("/one/../two/./three"), "/two/three")
    t.eq(realpath("/.."), "/")
    t.eq(realpath("//a///b"), "/a/b")
  end
  raised_here(t.raises(function() realpath() end, "I'd like to have an argument, please.\n"),
    "I'd like to have an argument, please.\n")
  t.raises(function() realpath({}) end, "bad argument #1 to 'realpath'")
end)

t.test("realpath of a result longer than the platform limit", function()
  local err = t.raises(function() realpath(string.rep("d", windows and 300 or 5000)) end, "Error ")
  if wine then
    -- Known Wine difference: its _fullpath leaves errno at 0 here; Windows sets ERANGE.
    t.truthy(err:match("Error %d+$"), err)
  else
    raised_here(err, "Error 34")
  end
end)

-- A folder removed while it is the working directory: only POSIX allows it
-- (Windows refuses to remove a directory that a process is using).
t.test("cd and realpath when the working directory was removed", function()
  if windows then return end
  mkdir("doomed")
  cd("doomed")
  rmdir("../doomed")
  raised_here(t.raises(function() cd() end, "can't get current directory"), "can't get current directory")
  raised_here(t.raises(function() realpath("x") end, "Error 2"), "Error 2")
  t.eq(realpath("/abs"), "/abs", "absolute paths need no working directory")
  t.eq(cd(home), home)
end)

t.test("ls in a folder that cannot be read", function()
  if windows or io.popen("id -u"):read("l") == "0" then return end  -- root reads anything
  mkdir("locked")
  cd("locked")
  os.execute("chmod 0 .")
  local err = t.raises(function() ls() end, "can't ls")
  cd(home)
  os.execute("chmod 755 locked")
  rmdir("locked")
  raised_here(err, "can't ls")
end)

t.done()
