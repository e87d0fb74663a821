#include "bridge.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" {
#include <lauxlib.h>
}

#include "core/paths.hpp"
#include "core/rounding.hpp"
#include "core/script_file.hpp"
#include "host_state.hpp"
#include "lua_glue.hpp"
#include "resources/resource_ids.h"

namespace {

// What an error box says when the error's own text could not be kept.
constexpr char kOutOfMemoryText[] = "not enough memory";

}  // namespace

void take_error_text(lua_State* L, int index) {
  size_t len = 0;
  const char* text = lua_tolstring(L, index, &len);
  g_host.error_text_lost =
      !glue::without_bad_alloc([&] { g_host.error_text.assign(text ? text : "", text ? len : 0); });
  if (g_host.error_text_lost) g_host.error_text.clear();
}

void show_error_box(HWND owner, const char* caption) {
  MessageBoxA(owner, g_host.error_text_lost ? kOutOfMemoryText : g_host.error_text.c_str(), caption, MB_ICONERROR);
}

void set_window_icons(HWND window) {
  const LPARAM icon = reinterpret_cast<LPARAM>(g_host.window_icon);
  SendMessageA(window, WM_SETICON, ICON_SMALL, icon);
  SendMessageA(window, WM_SETICON, ICON_BIG, icon);
  if (HWND owner = GetWindow(window, GW_OWNER)) {
    SendMessageA(owner, WM_SETICON, ICON_SMALL, icon);
    SendMessageA(owner, WM_SETICON, ICON_BIG, icon);
  }
}

namespace {

// Protected: the global dialog_callback. Only used when the globals have a
// metatable, whose __index may raise (as strict-mode scripts' does).
int look_up_callback(lua_State* L) {
  lua_getglobal(L, "dialog_callback");
  return 1;
}

// Protected: (error value) -> error text plus traceback. The traceback is
// taken after the failed call has unwound: from level 1 (level 0 is this
// function) it lists whatever script code was running when the message
// arrived. The error text is set as soon as it is known, so a failure while
// the traceback is built still leaves the message.
int build_error_text(lua_State* L) {
  take_error_text(L, 1);
  luaL_traceback(L, L, g_host.error_text.c_str(), 1);
  take_error_text(L, -1);
  return 0;
}

// Pushes dialog_callback; false (with an error value pushed) if looking it
// up raised.
bool push_callback(lua_State* L) {
  lua_rawgeti(L, LUA_REGISTRYINDEX, LUA_RIDX_GLOBALS);
  const bool plain = !lua_getmetatable(L, -1);
  if (!plain) lua_pop(L, 1);
  lua_pop(L, 1);
  if (plain) {
    lua_getglobal(L, "dialog_callback");
    return true;
  }
  lua_pushcfunction(L, look_up_callback);
  return lua_pcall(L, 0, 1, 0) == LUA_OK;
}

}  // namespace

INT_PTR offer_to_script(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const char* error_caption) {
  lua_State* L = g_host.L;
  const int top = lua_gettop(L);
  INT_PTR result = 0;
  g_host.current_window = window;
  // Room for the callback and its six arguments; past Lua's stack limit the
  // message goes unanswered.
  if (!lua_checkstack(L, 8)) return 0;

  bool failed = false;
  if (!push_callback(L)) {
    failed = true;
    g_host.error_text.clear();
    lua_pushcfunction(L, build_error_text);
    lua_insert(L, -2);
  } else if (lua_type(L, -1) == LUA_TFUNCTION) {
    lua_pushlightuserdata(L, window);
    lua_pushinteger(L, static_cast<lua_Integer>(static_cast<std::uint32_t>(message)));
    lua_pushinteger(L, static_cast<lua_Integer>(static_cast<std::int64_t>(wparam)));
    lua_pushinteger(L, static_cast<lua_Integer>(static_cast<std::int64_t>(lparam)));
    lua_pushinteger(L, LOWORD(wparam));
    lua_pushinteger(L, HIWORD(wparam));
    if (lua_pcall(L, 6, 1, 0) == LUA_OK) {
      int is_number = 0;
      const lua_Number n = lua_tonumberx(L, -1, &is_number);
      if (is_number) result = static_cast<INT_PTR>(callback_result(n));
    } else {
      failed = true;
      g_host.error_text.clear();
      lua_pushcfunction(L, build_error_text);
      lua_insert(L, -2);
    }
  }
  if (failed) {
    // Building the text allocates, so it runs protected too, with the
    // collector stopped: a raising finalizer would otherwise cut the
    // traceback off. Collection resumes before the box, whose message loop
    // runs further callbacks.
    const bool collecting = lua_gc(L, LUA_GCISRUNNING, 0) != 0;
    if (collecting) lua_gc(L, LUA_GCSTOP, 0);
    if (lua_pcall(L, 1, 0, 0) != LUA_OK && g_host.error_text.empty()) {
      // Not even the error value could be read (memory ran out).
      g_host.error_text_lost = true;
    }
    if (collecting) lua_gc(L, LUA_GCRESTART, 0);
    lua_settop(L, top);
    show_error_box(window, error_caption);
    return 0;
  }
  lua_settop(L, top);
  return result;
}

namespace {

std::string own_module_file_name() {
  char name[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA(nullptr), name, MAX_PATH);
  name[MAX_PATH - 1] = '\0';
  return name;
}

// The same name in full: the ANSI one turns every character the code page
// cannot spell into '?' (or a look-alike), which names no file.
std::wstring own_module_file_name_wide() {
  constexpr DWORD kLongestPath = 32768;  // UTF-16 units, terminator included
  std::wstring name(kLongestPath, L'\0');
  const DWORD n = GetModuleFileNameW(GetModuleHandleA(nullptr), &name[0], kLongestPath);
  name.resize(n < kLongestPath ? n : 0);
  return name;
}

// init.lua reached by its wide name; the C runtime's wide open keeps the
// text mode (and its line ends) of the narrow one.
class WideScriptFile : public ScriptFile {
 public:
  explicit WideScriptFile(const std::wstring& path) : path_(path) {}
  std::FILE* open_text() override { return _wfopen(path_.c_str(), L"r"); }
  std::FILE* reopen_binary(std::FILE* f) override { return _wfreopen(path_.c_str(), L"rb", f); }

 private:
  const std::wstring& path_;
};

// Runs init.lua inside the main window's WM_INITDIALOG. A script that cannot
// be loaded or that fails ends the program after its error box: there is no
// user interface without it.
void bootstrap(HWND window) {
  lua_State* L = g_host.L;
  const int top = lua_gettop(L);
  lua_pushlightuserdata(L, window);
  lua_setglobal(L, "hWin");
  lua_pushlightuserdata(L, g_host.instance);
  lua_setglobal(L, "hInstance");

  // The script is opened by its wide name, so a folder whose name the ANSI
  // code page cannot spell still starts; its chunk name and error texts use
  // the ANSI name, the one exepath() and the rest of the script see.
  const std::string name = init_script_path(own_module_file_name());
  const std::wstring path = init_script_path(own_module_file_name_wide());
  WideScriptFile file(path);
  if (load_script_file(L, file, name.c_str()) != LUA_OK || lua_pcall(L, 0, LUA_MULTRET, 0) != LUA_OK) {
    take_error_text(L, -1);
    show_error_box(window, "");
    lua_pop(L, 1);
    ExitProcess(0);
  }
  lua_settop(L, top);  // whatever init.lua returned is ignored

  g_host.window_icon = LoadIconA(g_host.instance, MAKEINTRESOURCEA(IDI_PROGRAM));
  set_window_icons(window);
}

}  // namespace

INT_PTR CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const INT_PTR result = offer_to_script(window, message, wparam, lparam, "");
  if (message == WM_INITDIALOG) {
    // The paths are built in std::string; a failure to allocate them must
    // not unwind through the platform's frames. There is no program without
    // init.lua: the box, then the end, as for a script that cannot load.
    bool out_of_memory = false;
    try {
      bootstrap(window);
    } catch (const std::bad_alloc&) {
      out_of_memory = true;
    }
    if (out_of_memory) {
      MessageBoxA(window, kOutOfMemoryText, "", MB_ICONERROR);
      ExitProcess(0);
    }
    return -1;
  }
  if (message == WM_CREATE) return 0;
  return result;
}
