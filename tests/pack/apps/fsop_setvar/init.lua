-- A packed app that uses lua_fsop and setvar, loaded from the packed folder.
local fsop = assert(package.loadlib(package.searchpath("lua_fsop", package.cpath), "fsop"))
fsop()
local set = require "setvar"
print("fsop realpath: " .. realpath("."))
print("setvar: " .. set("PACKED_APP", "yes") .. " " .. tostring(os.getenv("PACKED_APP")))
os.exit(0)
