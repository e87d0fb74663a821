-- setvar for Debian's Lua 5.3. From the repository's root:
--   luarocks --lua-version 5.3 make rockspecs/setvar-1.0.0-1.rockspec
rockspec_format = "3.0"
package = "setvar"
version = "1.0.0-1"
source = {
  -- `luarocks make` builds the working tree it is run from.
  url = "git+file://.",
}
description = {
  summary = "Sets variables of the process environment from Lua",
  detailed = [[
    require "setvar" returns one function: setvar(name, value) sets NAME=value
    in the process environment (an empty value removes the variable) and
    returns 0, or -1 when the environment cannot be changed.
  ]],
}
dependencies = { "lua >= 5.3, < 5.4" }
build = {
  type = "builtin",
  modules = {
    setvar = { sources = { "modules/setvar/setvar.cpp" }, libraries = { "stdc++" } },
  },
}
