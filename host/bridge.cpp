#include "bridge.hpp"

#include <string>

extern "C" {
#include <lauxlib.h>
}

#include "core/paths.hpp"
#include "core/rounding.hpp"
#include "host_state.hpp"

void take_error_text(lua_State* L, int index) {
  size_t len = 0;
  const char* text = lua_tolstring(L, index, &len);
  g_host.error_text.assign(text ? text : "", text ? len : 0);
}

void show_error_box(HWND owner, const char* caption) {
  MessageBoxA(owner, g_host.error_text.c_str(), caption, MB_ICONERROR);
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

INT_PTR offer_to_script(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                        const char* error_caption) {
  lua_State* L = g_host.L;
  const int top = lua_gettop(L);
  INT_PTR result = 0;

  lua_getglobal(L, "dialog_callback");
  lua_pushlightuserdata(L, window);
  g_host.current_window = window;
  lua_pushinteger(L, static_cast<lua_Integer>(static_cast<std::uint32_t>(message)));
  lua_pushinteger(L, static_cast<lua_Integer>(static_cast<std::int64_t>(wparam)));
  lua_pushinteger(L, static_cast<lua_Integer>(static_cast<std::int64_t>(lparam)));
  lua_pushinteger(L, LOWORD(wparam));
  lua_pushinteger(L, HIWORD(wparam));

  if (lua_type(L, top + 1) == LUA_TFUNCTION) {
    if (lua_pcall(L, 6, 1, 0) == LUA_OK) {
      int is_number = 0;
      const lua_Number n = lua_tonumberx(L, -1, &is_number);
      if (is_number) result = static_cast<INT_PTR>(callback_result(n));
    } else {
      // The traceback is taken after the failed call has unwound: it lists
      // whatever script code was running when the message arrived. Building
      // it allocates outside any protected call, so no collection may run
      // meanwhile: a finalizer may raise, and that error would have nowhere
      // to go. Collection resumes before the box, whose message loop runs
      // further callbacks.
      const bool collecting = lua_gc(L, LUA_GCISRUNNING, 0) != 0;
      if (collecting) lua_gc(L, LUA_GCSTOP, 0);
      take_error_text(L, -1);
      luaL_traceback(L, L, g_host.error_text.c_str(), 0);
      take_error_text(L, -1);
      if (collecting) lua_gc(L, LUA_GCRESTART, 0);
      show_error_box(window, error_caption);
    }
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

  const std::string path = init_script_path(own_module_file_name());
  if (luaL_loadfilex(L, path.c_str(), nullptr) != LUA_OK ||
      lua_pcall(L, 0, LUA_MULTRET, 0) != LUA_OK) {
    take_error_text(L, -1);
    MessageBoxA(window, g_host.error_text.c_str(), "", MB_ICONERROR);
    lua_pop(L, 1);
    ExitProcess(0);
  }
  lua_settop(L, top);  // whatever init.lua returned is ignored

  g_host.window_icon = LoadIconA(g_host.instance, MAKEINTRESOURCEA(1));
  set_window_icons(window);
}

}  // namespace

INT_PTR CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  const INT_PTR result = offer_to_script(window, message, wparam, lparam, "");
  if (message == WM_INITDIALOG) {
    bootstrap(window);
    return -1;
  }
  if (message == WM_CREATE) return 0;
  return result;
}
