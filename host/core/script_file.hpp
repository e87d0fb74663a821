// Loading a script file with the rules of Lua's own file loader (an optional
// UTF-8 byte-order mark and a first line starting with '#' are skipped, a
// precompiled chunk is read again in binary mode), but with the file reached
// through the caller's open functions. The host opens init.lua by its wide
// name, which also reaches folders whose names the ANSI code page cannot
// spell, while the chunk name and the error texts keep the name the script
// sees (the ANSI one).
#pragma once

#include <cstdio>

extern "C" {
#include <lua.h>
}

class ScriptFile {
 public:
  // Opens the file for reading in text mode; null with errno set on failure.
  virtual std::FILE* open_text() = 0;
  // Reopens the same file in binary mode on the stream `f` (which is closed
  // either way); null with errno set on failure.
  virtual std::FILE* reopen_binary(std::FILE* f) = 0;

 protected:
  ~ScriptFile() = default;
};

// Loads the chunk from `file` as a function on top of the stack, named
// "@<name>", and returns LUA_OK; or pushes an error text and returns the
// status: LUA_ERRFILE with "cannot open <name>: <reason>" (also "reopen",
// "read"), or the status and message of the parser.
int load_script_file(lua_State* L, ScriptFile& file, const char* name);
