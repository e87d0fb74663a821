// lua_fsop: directory and file functions registered as Lua globals.
//
// A script loads the library and calls its entry `fsop` by name
// (package.loadlib(path, "fsop")()); the entry registers ls, cd, mkdir, rmdir,
// realpath and filesize as globals of the calling state.
//
// Every failure the functions report is a Lua error raised through
// luaL_error, so the message carries the position of the calling script line.
// Nothing with a destructor lives in a frame that can raise.

#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <direct.h>
#include <stdlib.h>
#define FSOP_EXPORT extern "C" __declspec(dllexport)
#else
#include <climits>
#include <unistd.h>
#define FSOP_EXPORT extern "C" __attribute__((visibility("default")))
#endif

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

FSOP_EXPORT int fsop(lua_State* L);
FSOP_EXPORT int lua_realpath(lua_State* L);
FSOP_EXPORT int lua_filesize(lua_State* L);

namespace {

// Room for the working directory read back by cd.
constexpr size_t kCwdBufferSize = 100000;

#ifdef _WIN32
// The C runtime's own limit for full paths (_MAX_PATH).
constexpr size_t kFullPathMax = 260;
#else
constexpr size_t kFullPathMax = PATH_MAX;
#endif

const char kNoArgument[] = "I'd like to have an argument, please.\n";
const char kDirHandleType[] = "lua_fsop.dir";

// --- thin wrappers over the C runtime, one per platform -------------------

int sys_chdir(const char* p) {
#ifdef _WIN32
  return _chdir(p);
#else
  return chdir(p);
#endif
}

char* sys_getcwd(char* buf, size_t size) {
#ifdef _WIN32
  return _getcwd(buf, static_cast<int>(size));
#else
  return getcwd(buf, size);
#endif
}

int sys_mkdir(const char* p) {
#ifdef _WIN32
  return _mkdir(p);
#else
  return mkdir(p, 0777);  // the umask narrows it, as for any new directory
#endif
}

int sys_rmdir(const char* p) {
#ifdef _WIN32
  return _rmdir(p);
#else
  return rmdir(p);
#endif
}

// Returns 0 with the size, or the C runtime's error number.
int sys_filesize(const char* p, double* size) {
#ifdef _WIN32
  struct _stat64 st;
  if (_stat64(p, &st) != 0) return errno;
#else
  struct stat st;  // off_t is 64 bits on every 64-bit target we build for
  if (stat(p, &st) != 0) return errno;
#endif
  *size = static_cast<double>(st.st_size);
  return 0;
}

#ifndef _WIN32
// The full-path call of the Windows runtime works on the text alone: it joins
// a relative path to the working directory and folds "." and ".." without
// asking whether anything exists. POSIX realpath() needs the path to exist, so
// the same folding is done here. `out` must hold kFullPathMax + strlen(path) + 2
// bytes. Returns 0 or an error number (ERANGE when the result is too long).
int fold_path(const char* path, char* out) {
  size_t len = 0;
  if (path[0] != '/') {
    if (!getcwd(out, kFullPathMax)) return errno;  // leaves room for path
    len = std::strlen(out);
  }
  if (len == 0) out[len++] = '/';
  if (out[len - 1] != '/') out[len++] = '/';  // invariant: out ends with '/'

  for (const char* p = path; *p;) {
    while (*p == '/') ++p;
    const char* end = p;
    while (*end && *end != '/') ++end;
    size_t n = static_cast<size_t>(end - p);
    if (n == 0 || (n == 1 && p[0] == '.')) {
      // empty or "." component: nothing to add
    } else if (n == 2 && p[0] == '.' && p[1] == '.') {
      if (len > 1) {  // step back over the last component, never above root
        len -= 1;
        while (len > 0 && out[len - 1] != '/') --len;
      }
    } else {
      std::memcpy(out + len, p, n);
      len += n;
      out[len++] = '/';
    }
    p = end;
  }

  // Keep a trailing separator only when the caller wrote one (and the result
  // is not the root itself), as the Windows runtime does.
  size_t plen = std::strlen(path);
  bool trailing = plen > 0 && path[plen - 1] == '/';
  if (len > 1 && !trailing) --len;
  out[len] = '\0';
  if (len + 1 > kFullPathMax) return ERANGE;
  return 0;
}
#endif

// --- the directory handle used by ls ---------------------------------------
//
// The open directory lives in a userdata whose __gc closes it, so a memory
// error raised while names are pushed cannot leak the handle.

int dir_gc(lua_State* L) {
  DIR** d = static_cast<DIR**>(luaL_checkudata(L, 1, kDirHandleType));
  if (*d) {
    closedir(*d);
    *d = nullptr;
  }
  return 0;
}

DIR** new_dir_box(lua_State* L) {
  DIR** d = static_cast<DIR**>(lua_newuserdata(L, sizeof(DIR*)));
  *d = nullptr;
  if (luaL_newmetatable(L, kDirHandleType)) {
    lua_pushcfunction(L, dir_gc);
    lua_setfield(L, -2, "__gc");
  }
  lua_setmetatable(L, -2);
  return d;
}

// --- the Lua functions ------------------------------------------------------

// ls(): names of every entry of the current directory, in the order the file
// system gives them ("." and ".." and hidden entries included).
int l_ls(lua_State* L) {
  lua_newtable(L);
  int list = lua_gettop(L);
  DIR** box = new_dir_box(L);
  *box = opendir("./");
  if (!*box) return luaL_error(L, "can't ls");
  lua_Integer n = 0;
  while (struct dirent* e = readdir(*box)) {
    lua_pushstring(L, e->d_name);
    lua_rawseti(L, list, ++n);
  }
  closedir(*box);
  *box = nullptr;
  lua_settop(L, list);
  return 1;
}

// cd([path]): changes the working directory when a path is given, then
// returns the working directory.
int l_cd(lua_State* L) {
  if (lua_gettop(L) > 0) {
    const char* path = luaL_checkstring(L, 1);
    if (sys_chdir(path) != 0) return luaL_error(L, "can't cd");
  }
  luaL_Buffer b;
  char* buf = luaL_buffinitsize(L, &b, kCwdBufferSize);
  if (!sys_getcwd(buf, kCwdBufferSize)) return luaL_error(L, "can't get current directory");
  luaL_pushresultsize(&b, std::strlen(buf));
  return 1;
}

int l_mkdir(lua_State* L) {
  if (lua_gettop(L) > 0) {
    const char* path = luaL_checkstring(L, 1);
    if (sys_mkdir(path) != 0) return luaL_error(L, "can't mkdir");
  }
  return 0;
}

int l_rmdir(lua_State* L) {
  if (lua_gettop(L) > 0) {
    const char* path = luaL_checkstring(L, 1);
    if (sys_rmdir(path) != 0) return luaL_error(L, "can't rmdir");
  }
  return 0;
}

}  // namespace

// realpath(path): the absolute form of path; the path need not exist.
int lua_realpath(lua_State* L) {
  if (lua_gettop(L) == 0) return luaL_error(L, "%s", kNoArgument);
  const char* path = luaL_checkstring(L, 1);
#ifdef _WIN32
  // A caller buffer of _MAX_PATH behaves as the runtime's own allocation
  // (which is _MAX_PATH long) and cannot leak if pushing the result fails.
  char full[kFullPathMax];
  if (!_fullpath(full, path, kFullPathMax)) return luaL_error(L, "Error %d", errno);
  lua_pushstring(L, full);
#else
  // Scratch space owned by Lua: collected even if an error is raised later.
  char* full = static_cast<char*>(lua_newuserdata(L, kFullPathMax + std::strlen(path) + 2));
  if (int err = fold_path(path, full)) return luaL_error(L, "Error %d", err);
  lua_pushstring(L, full);
#endif
  return 1;
}

// filesize(path): the size in bytes as a float.
int lua_filesize(lua_State* L) {
  if (lua_gettop(L) == 0) return luaL_error(L, "%s", kNoArgument);
  const char* path = luaL_checkstring(L, 1);
  double size = 0;
  if (int err = sys_filesize(path, &size)) return luaL_error(L, "Error %d", err);
  lua_pushnumber(L, static_cast<lua_Number>(size));
  return 1;
}

int fsop(lua_State* L) {
  lua_register(L, "ls", l_ls);
  lua_register(L, "cd", l_cd);
  lua_register(L, "mkdir", l_mkdir);
  lua_register(L, "rmdir", l_rmdir);
  lua_register(L, "realpath", lua_realpath);
  lua_register(L, "filesize", lua_filesize);
  return 0;
}
