-- lua_fsop for Debian's Lua 5.3. From the repository's root:
--   luarocks --lua-version 5.3 make rockspecs/lua_fsop-1.0.0-1.rockspec
-- The library has no luaopen_ entry; load it through its entry "fsop":
--   package.loadlib(package.searchpath("lua_fsop", package.cpath), "fsop")()
rockspec_format = "3.0"
package = "lua_fsop"
version = "1.0.0-1"
source = {
  -- `luarocks make` builds the working tree it is run from.
  url = "git+file://.",
}
description = {
  summary = "Directory and file functions for Lua: ls, cd, mkdir, rmdir, realpath, filesize",
  detailed = [[
    Calling the library's entry "fsop" registers six globals: ls (the names in
    the current directory), cd, mkdir, rmdir, realpath and filesize.
  ]],
}
dependencies = { "lua >= 5.3, < 5.4" }
build = {
  type = "builtin",
  modules = {
    lua_fsop = { sources = { "modules/fsop/fsop.cpp" }, libraries = { "stdc++" } },
  },
}
