// setvar: sets or removes a variable of the process environment.
//
//   local setvar = require "setvar"   -- the module is the setter itself
//   setvar("NAME", "value")           --> 0 on success, -1 on failure
//
// The variable is visible to os.getenv in this process and inherited by every
// program started afterwards. An empty value removes the variable.

#include <cstring>

#ifdef _WIN32
#include <stdlib.h>
#define SETVAR_API __declspec(dllexport)
#else
#include <cerrno>
#include <cstdlib>
#define SETVAR_API __attribute__((visibility("default")))
#endif

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

namespace {
// Size of the exported assignment buffer, and the longest text (terminator
// included) ever written to it: NAME=value is cut at kAssignmentLimit - 1 = 254
// characters.
constexpr size_t kAssignmentBufferSize = 256;
constexpr size_t kAssignmentLimit = 255;
}  // namespace

// The last NAME=value text built, shared by every call and every Lua state of
// the process (programs that load the library may read it). Inside the braces
// this is a definition; `extern "C"` in front of it would only declare it.
extern "C" {
SETVAR_API char string[kAssignmentBufferSize];
}

extern "C" SETVAR_API int luaopen_setvar(lua_State* L);

namespace {

// Appends src to dst[len..] without going past limit - 1 characters.
size_t append_bounded(char* dst, size_t len, size_t limit, const char* src) {
  while (*src && len + 1 < limit) dst[len++] = *src++;
  dst[len] = '\0';
  return len;
}

// Builds "name=value" in the shared buffer, cut to fit the limit. A value
// without text is written as "(null)", as the runtime's formatter does.
void build_assignment(const char* name, const char* value) {
  size_t len = append_bounded(string, 0, kAssignmentLimit, name);
  len = append_bounded(string, len, kAssignmentLimit, "=");
  append_bounded(string, len, kAssignmentLimit, value ? value : "(null)");
}

// Hands the assignment in the shared buffer to the environment.
int update_environment() {
#ifdef _WIN32
  // The runtime copies the text, updates its own table (getenv) and the
  // process environment that child processes inherit; "X=" removes X.
  return _putenv(string);
#else
  // putenv() would keep a pointer to the shared buffer, which the next call
  // overwrites, so the text is split and copied by setenv() instead. The empty
  // value removes the variable, as on Windows.
  char* eq = std::strchr(string, '=');
  if (!eq || eq == string) {  // the name was cut before '=' or is empty
    errno = EINVAL;
    return -1;
  }
  *eq = '\0';
  int rc = eq[1] == '\0' ? unsetenv(string) : setenv(string, eq + 1, 1);
  *eq = '=';
  return rc == 0 ? 0 : -1;
#endif
}

int l_setvar(lua_State* L) {
  const char* value = lua_tostring(L, 2);  // strings and numbers; else no text
  const char* name = luaL_checkstring(L, 1);
  build_assignment(name, value);
  lua_pushinteger(L, update_environment());
  return 1;
}

}  // namespace

int luaopen_setvar(lua_State* L) {
  lua_pushcfunction(L, l_setvar);
  return 1;
}
