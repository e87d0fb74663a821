#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/lua_scan.hpp"

namespace {

using Strings = std::vector<std::string>;

Strings used(const std::string& src) { return modules_named(src, runtime_modules()); }

TEST(LuaLiterals, QuotedStringsDecodeTheirEscapes) {
  EXPECT_EQ(lua_string_literals(R"(x = "a\"b" .. 'c\'d' .. "\\n\n\t")"), (Strings{"a\"b", "c'd", "\\n\n\t"}));
  EXPECT_EQ(lua_string_literals(R"(s = "\x6f\114bix" t = "\u{E9}" u = "a\z
        b")"),
            (Strings{"orbix", "\xC3\xA9", "ab"}));
  EXPECT_EQ(lua_string_literals("s = \"line\\\nnext\""), (Strings{"line\nnext"}));
  EXPECT_EQ(lua_string_literals("s = '\\0651'"), (Strings{"A1"}));  // at most three digits
}

TEST(LuaLiterals, LongStringsAndCommentsKeepTheirLevels) {
  EXPECT_EQ(lua_string_literals("a = [[\nfirst]] b = [==[has ]] and ]=] inside]==]"),
            (Strings{"first", "has ]] and ]=] inside"}));
  EXPECT_EQ(lua_string_literals("-- \"not this\"\nx = 'this' --[[ 'nor' \n 'this' ]] y = 'yes'"),
            (Strings{"this", "yes"}));
  EXPECT_EQ(lua_string_literals("--[==[ ]] 'still comment' ]==] z = \"out\""), (Strings{"out"}));
  EXPECT_EQ(lua_string_literals("#!/usr/bin/lua 'shebang'\nx = 'a'"), (Strings{"a"}));
  EXPECT_EQ(lua_string_literals("t[ [[k]] ] = a[b[1]]"), (Strings{"k"}));
  // An unfinished literal ends the scan without reading past the text.
  EXPECT_EQ(lua_string_literals("a = 'ok' b = \"open"), (Strings{"ok"}));
  EXPECT_EQ(lua_string_literals("a = 'ok' b = [==[ open ]]"), (Strings{"ok"}));
  EXPECT_EQ(lua_string_literals("a = 'bad \\x4'"), Strings{});
  EXPECT_EQ(lua_string_literals("a = 'line\nbreak'"), Strings{});
}

TEST(LuaModules, TheWaysScriptsLoadModules) {
  EXPECT_EQ(used("local orbix = require \"orbix\""), Strings{"orbix"});
  EXPECT_EQ(used("local o = require('orbix')"), Strings{"orbix"});
  EXPECT_EQ(used("local o = require[[orbix]]"), Strings{"orbix"});
  EXPECT_EQ(used("local set = require 'setvar'"), Strings{"setvar"});
  EXPECT_EQ(used("package.loadlib(package.searchpath(\"lua_fsop\", package.cpath), \"fsop\")()"), Strings{"lua_fsop"});
  EXPECT_EQ(used("package.loadlib(exepath() .. '\\\\LUA_FSOP.DLL', 'fsop')()"), Strings{"lua_fsop"});
  EXPECT_EQ(used("package.loadlib('lib/lua_fsop.dll', 'fsop')() require 'setvar' require 'orbix'"),
            (Strings{"orbix", "lua_fsop", "setvar"}));
}

TEST(LuaModules, NamesOutsideLiteralsOrInsideOtherNamesDoNotCount) {
  EXPECT_EQ(used("-- require 'orbix'\n--[[ require \"setvar\" ]]\nlocal orbix = setvar"), Strings{});
  EXPECT_EQ(used("x = 'orbixx' y = 'my_orbix.dll' z = 'orbix.lua' w = 'lua_fsop.dll.bak'"), Strings{});
  EXPECT_EQ(used("require 'Orbix'"), Strings{});  // Lua names are exact; this one has no module
}

}  // namespace
