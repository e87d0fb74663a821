// Windows and controls: creation, geometry, text, state, focus, window words.
#include "args.hpp"
#include "bindings.hpp"
#include "host_state.hpp"

namespace {

// Points travel by value: x in the low 32 bits, y in the high 32 bits.
POINT arg_point(lua_State* L, int first) {
  POINT p;
  p.x = arg_i32(L, first);
  p.y = arg_i32(L, first + 1);
  return p;
}

}  // namespace

int l_CreateWindow(lua_State* L) {
  const char* cls = arg_str(L, 1);
  // The Lua string stays on the stack for the whole call; the platform reads
  // it as a C string, so the text ends at its first zero byte.
  const char* text = arg_str(L, 2);
  const DWORD style = static_cast<DWORD>(static_cast<std::uint64_t>(arg_rounded_i64(L, 3)));
  const int x = arg_rounded_i32(L, 4), y = arg_rounded_i32(L, 5);
  const int cx = arg_rounded_i32(L, 6), cy = arg_rounded_i32(L, 7);
  HWND parent = arg_hwnd(L, 8);
  HMENU menu = reinterpret_cast<HMENU>(static_cast<std::intptr_t>(arg_int(L, 9)));
  // An integer only: the instance handle a script holds is a light userdata,
  // which reads as 0 here, and a null instance means "this program".
  HINSTANCE inst = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(arg_opt_int(L, 10)));
  void* param = reinterpret_cast<void*>(static_cast<std::intptr_t>(arg_int(L, 11)));
  return push_handle(L, CreateWindowExA(0, cls, text, style, x, y, cx, cy, parent, menu, inst, param));
}

int l_DestroyWindow(lua_State* L) { return push_bool(L, DestroyWindow(arg_hwnd(L, 1))); }

int l_InvalidateRect(lua_State* L) { return push_bool(L, InvalidateRect(arg_hwnd(L, 1), nullptr, TRUE)); }

int l_MoveWindow(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  const int x = arg_i32(L, 2), y = arg_i32(L, 3), cx = arg_i32(L, 4), cy = arg_i32(L, 5);
  return push_bool(L, MoveWindow(w, x, y, cx, cy, arg_flag(L, 6)));
}

int l_SetWindowPos(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  HWND after = arg_hwnd(L, 2);  // null is HWND_TOP
  const int x = arg_i32(L, 3), y = arg_i32(L, 4), cx = arg_i32(L, 5), cy = arg_i32(L, 6);
  const UINT flags = arg_u32(L, 7);
  return push_bool(L, SetWindowPos(w, after, x, y, cx, cy, flags));
}

int l_GetWindowRect(lua_State* L) {
  RECT r{};
  push_bool(L, GetWindowRect(arg_hwnd(L, 1), &r));
  push_i32(L, r.left);
  push_i32(L, r.top);
  push_i32(L, r.right);
  push_i32(L, r.bottom);
  return 5;
}

int l_GetClientRect(lua_State* L) {
  RECT r{};
  GetClientRect(arg_hwnd(L, 1), &r);
  push_i32(L, r.left);
  push_i32(L, r.top);
  push_i32(L, r.right);
  push_i32(L, r.bottom);
  return 4;
}

int l_GetCursorPos(lua_State* L) {
  POINT p{};
  push_bool(L, GetCursorPos(&p));
  push_i32(L, p.x);
  push_i32(L, p.y);
  return 3;
}

int l_GetCursorPosClient(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  POINT p{};
  if (!GetCursorPos(&p)) return push_bool(L, FALSE);
  push_bool(L, ScreenToClient(w, &p));
  push_i32(L, p.x);
  push_i32(L, p.y);
  return 3;
}

int l_ScreenToClient(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  POINT p;
  p.x = static_cast<LONG>(arg_opt_int(L, 2));
  p.y = static_cast<LONG>(arg_opt_int(L, 3));
  ScreenToClient(w, &p);
  push_i32(L, p.x);
  push_i32(L, p.y);
  return 2;
}

int l_SetWindowText(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  return push_bool(L, SetWindowTextA(w, arg_str(L, 2)));
}

int l_GetWindowText(lua_State* L) {
  char buf[kLocalTextSize] = {};
  const int n = GetWindowTextA(arg_hwnd(L, 1), buf, static_cast<int>(sizeof buf));
  push_buffer_text(L, buf, sizeof buf);
  push_int(L, n);
  return 2;
}

int l_GetWindowTextLarge(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  // The buffer keeps whatever its last user left; a call that fails without
  // writing must not hand that back as this window's text.
  g_large_text[0] = '\0';
  const int n = GetWindowTextA(w, g_large_text, static_cast<int>(kLargeTextSize));
  push_buffer_text(L, g_large_text, kLargeTextSize);
  push_int(L, n);
  return 2;
}

int l_ShowWindow(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  return push_bool(L, ShowWindow(w, arg_i32(L, 2)));
}

int l_EnableWindow(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  return push_bool(L, EnableWindow(w, arg_flag(L, 2)));
}

int l_IsDlgButtonChecked(lua_State* L) {
  HWND dlg = arg_hwnd(L, 1);
  return push_u32(L, IsDlgButtonChecked(dlg, arg_i32(L, 2)));
}

int l_CheckDlgButton(lua_State* L) {
  HWND dlg = arg_hwnd(L, 1);
  const int id = arg_i32(L, 2);
  return push_bool(L, CheckDlgButton(dlg, id, arg_u32(L, 3)));
}

int l_ChildWindowFromPoint(lua_State* L) {
  HWND parent = arg_hwnd(L, 1);
  return push_handle(L, ChildWindowFromPoint(parent, arg_point(L, 2)));
}

int l_RealChildWindowFromPoint(lua_State* L) {
  HWND parent = arg_hwnd(L, 1);
  return push_handle(L, RealChildWindowFromPoint(parent, arg_point(L, 2)));
}

int l_WindowFromPoint(lua_State* L) { return push_handle(L, WindowFromPoint(arg_point(L, 1))); }

int l_SetCapture(lua_State* L) { return push_handle(L, SetCapture(arg_hwnd(L, 1))); }

int l_ReleaseCapture(lua_State* L) { return push_bool(L, ReleaseCapture()); }

int l_SetFocus(lua_State* L) { return push_handle(L, SetFocus(arg_hwnd(L, 1))); }

int l_GetFocus(lua_State* L) { return push_handle(L, GetFocus()); }

int l_GetForegroundWindow(lua_State* L) { return push_handle(L, GetForegroundWindow()); }

// The 32-bit window-word functions, also on 64-bit Windows: pointer-sized
// slots come back cut to 32 bits and a style with its top bit set is
// negative, which SetWindowLong takes back unchanged.
int l_GetWindowLong(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  return push_i32(L, GetWindowLongA(w, arg_i32(L, 2)));
}

int l_SetWindowLong(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  const int index = arg_i32(L, 2);
  const LONG value = arg_i32(L, 3);
  return push_i32(L, SetWindowLongA(w, index, value));
}
