-- lua_fsop under the argument fuzzer. Everything happens inside a scratch
-- folder below TEST_WORK_DIR (the run refuses to start without it): cd, mkdir
-- and rmdir only get relative paths without "..", the working directory is
-- checked after every call, and the scratch folder is removed at the end.
-- realpath and filesize, which change nothing, also get absolute paths and
-- ".." steps.
local fv = require "fuzzvalues"

local T = {}
local windows = package.config:sub(1, 1) == "\\"
local lib = assert(package.searchpath("lua_fsop", package.cpath))
local entry = assert(package.loadlib(lib, "fsop"))
entry()
local api = { ls = ls, cd = cd, mkdir = mkdir, rmdir = rmdir, realpath = realpath, filesize = filesize }

local root = os.getenv("TEST_WORK_DIR")
assert(root and root ~= "", "fuzz_fsop runs only inside TEST_WORK_DIR (a folder it may fill and empty)")
local scratch

-- Paths of 4095, 4096 and 4097 bytes made of 255-byte names (the longest a
-- name may be), and names of 255 and 256 bytes.
local function long_path(n)
  local parts, len = {}, 0
  while len < n do
    local k = math.min(255, n - len)
    parts[#parts + 1] = string.rep("p", k)
    len = len + k + 1
  end
  return table.concat(parts, "/"):sub(1, n)
end

local safe = {
  "d1", "d1/d2", "d1/d2/d3", "d2", ".", "d1/.", "./d2", "f1", "d1/f2", "nonexistent/x", "", "d1\0zzz",
  string.rep("n", 255), string.rep("n", 256), long_path(4095), long_path(4096), long_path(4097),
  string.rep("d1/", 40), "d1//d2", "d1/d2/",
}
local readonly = {
  "/", "..", "../..", "a/../../b", "/dev/null", "/proc/self/status", "/nonexistent", "d1/../f1", "C:\\", "\\\\?\\x",
  "/" .. long_path(4094), string.rep("../", 2000),
}

local function path(g)
  local r = g.rng
  if r:chance(0.7) then return r:pick(safe) end
  return g:string()
end
local function any_path(g)
  if g.rng:chance(0.3) then return g.rng:pick(readonly) end
  return path(g)
end

T.kinds = { path = path, any_path = any_path }
T.lengths = { 255, 256, 259, 260, 261 }

-- cd, mkdir and rmdir never see a path that could leave the scratch folder.
local function confine(args)
  local v = args[1]
  if type(v) == "number" then v = tostring(v) end
  if type(v) == "string" and (v:find("..", 1, true) or v:find("^[/\\]") or v:find("^%a:")) then args[1] = "d1" end
  -- Wine makes folders that Windows would refuse (paths past MAX_PATH) and
  -- reports non-ASCII names through the ANSI code page, so such a folder
  -- could not be named again to remove it. Folder names stay short and ASCII
  -- on Windows; realpath and filesize still get every kind of path.
  if windows and type(v) == "string" and (#v > 64 or v:find("[\128-\255]")) then args[1] = "d1" end
end

T.functions = {
  { name = "ls", fn = api.ls, sig = {} },
  { name = "cd", fn = api.cd, sig = { "path" }, guard = confine },
  { name = "mkdir", fn = api.mkdir, sig = { "path" }, guard = confine },
  { name = "rmdir", fn = api.rmdir, sig = { "path" }, guard = confine },
  { name = "realpath", fn = api.realpath, sig = { "any_path" } },
  { name = "filesize", fn = api.filesize, sig = { "any_path" } },
}

local function inside(dir)
  return dir == scratch or dir:sub(1, #scratch + 1) == scratch .. (windows and "\\" or "/")
end

function T.setup()
  api.cd(root)
  pcall(api.mkdir, "fsop-scratch")
  scratch = api.cd("fsop-scratch")
  assert(#api.ls() == 2 or windows, "the scratch folder is not empty: " .. scratch)
  local f = assert(io.open("f1", "wb"))
  f:write("0123456789")
  f:close()
  return T
end

-- After every call: still inside the scratch folder, and not too deep in it.
function T.check(name, args, res)
  local ok, dir = pcall(api.cd)
  if not ok then
    -- the folder we were in was removed under us (rmdir of "." fails, but a
    -- parent step is refused above): go back
    api.cd(scratch)
    return nil
  end
  if not inside(dir) then
    api.cd(scratch)
    return "left the scratch folder for " .. dir
  end
  local depth = select(2, dir:sub(#scratch + 1):gsub("[/\\]", ""))
  if depth > 6 or (windows and #dir > 160) then api.cd(scratch) end
  if name == "filesize" and res[1] and math.type(res[2]) ~= "float" then return "filesize gave no float" end
  if (name == "cd" or name == "realpath") and res[1] and type(res[2]) ~= "string" then return "no string result" end
  return nil
end

-- Empties a folder with os.remove and the module's own functions. It moves
-- by relative steps: on Windows a folder whose path is longer than the C
-- runtime can read back is entered all the same, but cd then raises "can't
-- get current directory".
local function remove_tree(dir)
  local ok, err = pcall(api.cd, dir)
  if not ok and not tostring(err):find("can't get current directory", 1, true) then return end
  for _, name in ipairs(api.ls()) do
    if name ~= "." and name ~= ".." then
      if not os.remove(name) then
        remove_tree(name)
        -- The C runtime's remove takes no folder on Windows.
        if not os.remove(name) then pcall(api.rmdir, name) end
      end
    end
  end
  pcall(api.cd, "..")
end

function T.finish()
  -- An ls that raised part-way (a finalizer of the pool raising while it
  -- pushed names) leaves its directory open until the collector closes it,
  -- and Windows does not remove a folder that is still open.
  collectgarbage("collect")
  remove_tree(scratch)
  api.cd(root)
  if pcall(api.rmdir, "fsop-scratch") then return nil end
  return "the scratch folder could not be removed"
end
return T
