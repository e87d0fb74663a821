// Windows and controls: creation, geometry, text, state, focus, window words.
#include "args.hpp"
#include "bindings.hpp"

int l_MoveWindow(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  const int x = arg_i32(L, 2), y = arg_i32(L, 3), cx = arg_i32(L, 4), cy = arg_i32(L, 5);
  return push_bool(L, MoveWindow(w, x, y, cx, cy, arg_flag(L, 6)));
}
