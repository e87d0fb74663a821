// Messages to windows and controls, and the records that messages carry.
#include "args.hpp"
#include "bindings.hpp"

int l_SendMessageInt(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  const UINT msg = arg_u32(L, 2);
  const WPARAM wp = static_cast<WPARAM>(arg_int(L, 3));
  const LPARAM lp = static_cast<LPARAM>(arg_int(L, 4));
  return push_int(L, static_cast<lua_Integer>(SendMessageA(w, msg, wp, lp)));
}

int l_Int2Ptr(lua_State* L) {
  return push_handle(L, reinterpret_cast<void*>(static_cast<std::intptr_t>(arg_int(L, 1))));
}

int l_Ptr2Int(lua_State* L) {
  return push_int(L, static_cast<lua_Integer>(reinterpret_cast<std::intptr_t>(arg_handle(L, 1))));
}
