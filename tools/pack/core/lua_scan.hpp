// Which of the runtime's modules an app uses, read from its Lua source.
//
// A module is used when a string literal of the source (outside comments)
// names it: its Lua name ("orbix" in require "orbix", require("orbix"),
// require 'setvar', package.searchpath("lua_fsop", ...)) or its DLL, alone
// or at the end of a path ("lua_fsop.dll", "modules\\lua_fsop.dll"). A name
// that appears only in a comment does not count; a name in an unrelated
// string does (copying one DLL too many is harmless, one too few breaks the
// app).
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The modules the runtime ships beside the host, by Lua name; each one's DLL
// is NAME.dll.
const std::vector<std::string>& runtime_modules();

// The string literals of a Lua chunk, escapes decoded, in source order:
// "..." and '...' strings and long strings ([[...]], [==[...]==]). Comments
// (-- to the end of the line, --[[...]] and its long forms) and a first
// line starting with '#' are skipped. An unfinished literal ends the scan.
std::vector<std::string> lua_string_literals(std::string_view source);

// Which of `modules` the literals of `source` name, in the order of
// `modules`.
std::vector<std::string> modules_named(std::string_view source, const std::vector<std::string>& modules);
