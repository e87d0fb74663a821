// Menus, the program-wide accelerator table, and window timers.
#include "args.hpp"
#include "bindings.hpp"

int l_SetTimer(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  const UINT_PTR id = static_cast<UINT_PTR>(arg_int(L, 2));
  const UINT interval = static_cast<UINT>(arg_rounded_i64(L, 3));
  // Normally nil, so that WM_TIMER is posted to the window.
  TIMERPROC proc = arg_handle_as<TIMERPROC>(L, 4);
  SetTimer(w, id, interval, proc);
  return 0;
}

int l_KillTimer(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  KillTimer(w, static_cast<UINT_PTR>(arg_rounded_u64(L, 2)));
  return 0;
}
