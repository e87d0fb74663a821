// Menus, the program-wide accelerator table, and window timers.
#include "args.hpp"
#include "bindings.hpp"
#include "core/accel.hpp"
#include "host_state.hpp"

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

int l_CreateMenu(lua_State* L) { return push_handle(L, CreateMenu()); }

int l_CreatePopupMenu(lua_State* L) { return push_handle(L, CreatePopupMenu()); }

int l_AppendMenu(lua_State* L) {
  HMENU menu = arg_handle_as<HMENU>(L, 1);
  // An integer (of integer subtype: 5.0 is not one) is the command
  // identifier; anything else is taken as the handle of a pop-up menu, which
  // gives 0 when it is not a handle at all.
  UINT_PTR item =
      lua_isinteger(L, 3) ? static_cast<UINT_PTR>(lua_tointeger(L, 3)) : reinterpret_cast<UINT_PTR>(arg_handle(L, 3));
  const char* text = arg_str(L, 4);
  const UINT flags = arg_u32(L, 2);
  return push_bool(L, AppendMenuA(menu, flags, item, text));
}

int l_SetMenu(lua_State* L) { return push_bool(L, SetMenu(arg_hwnd(L, 1), arg_handle_as<HMENU>(L, 2))); }

int l_GetMenu(lua_State* L) { return push_handle(L, GetMenu(arg_hwnd(L, 1))); }

int l_DestroyMenu(lua_State* L) { return push_bool(L, DestroyMenu(arg_handle_as<HMENU>(L, 1))); }

int l_DeleteMenu(lua_State* L) {
  HMENU menu = arg_handle_as<HMENU>(L, 1);
  const UINT position = arg_u32(L, 2);
  const UINT flags = arg_u32(L, 3);
  // DeleteMenu is RemoveMenu and then DestroyMenu of the item's submenu. Wine
  // destroys that submenu while it holds the parent menu, and a pop-up menu
  // that has served as a window's menu takes its window along, which Wine
  // does not allow under that hold: the process stopped on an assertion. Done
  // in two steps, the submenu goes once the parent is free again.
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  const BOOL by_position = (flags & MF_BYPOSITION) != 0;
  HMENU submenu = GetMenuItemInfoW(menu, position, by_position, &info) ? info.hSubMenu : nullptr;
  if (!RemoveMenu(menu, position, flags)) return push_bool(L, FALSE);
  if (submenu) DestroyMenu(submenu);
  return push_bool(L, TRUE);
}

int l_DrawMenuBar(lua_State* L) { return push_bool(L, DrawMenuBar(arg_hwnd(L, 1))); }

int l_CheckMenuItem(lua_State* L) {
  HMENU menu = arg_handle_as<HMENU>(L, 1);
  const UINT item = arg_u32(L, 2);
  const UINT flags = arg_u32(L, 3);
  // The previous state, or 0xFFFFFFFF for an item that does not exist.
  return push_u32(L, static_cast<std::uint32_t>(CheckMenuItem(menu, item, flags)));
}

int l_EnableMenuItem(lua_State* L) {
  HMENU menu = arg_handle_as<HMENU>(L, 1);
  const UINT item = arg_u32(L, 2);
  const UINT flags = arg_u32(L, 3);
  // Non-zero when the item was disabled or grayed before, or is missing.
  return push_bool(L, EnableMenuItem(menu, item, flags) != 0);
}

// The program keeps one accelerator table; the message loop applies it to the
// keystrokes of every window of the thread.
static_assert(sizeof(ACCEL) == kAccelRecordSize, "ACCEL is 6 bytes, unpadded");

namespace {

// Counts every change of the set, so a creation can tell whether script code
// it ran (through __index or __len) replaced the set under it.
unsigned g_accel_changes = 0;

void drop_accelerator_table() {
  if (g_host.accelerators) DestroyAcceleratorTable(g_host.accelerators);
  g_host.accelerators = nullptr;
}

void free_accelerator_entries() {
  if (g_host.accel_entries) LocalFree(g_host.accel_entries);
  g_host.accel_entries = nullptr;
}

}  // namespace

int l_CreateAcceleratorTable(lua_State* L) {
  if (lua_gettop(L) != 1) return 0;
  // The length operator: raises for a value without one, and for a length
  // that is not an integer.
  const lua_Integer n = luaL_len(L, 1);

  std::size_t count = 0, bytes = 0;
  const unsigned change = ++g_accel_changes;
  free_accelerator_entries();
  ACCEL* block = nullptr;
  if (!accel_block_size(n, &count, &bytes) || !(block = static_cast<ACCEL*>(LocalAlloc(LMEM_ZEROINIT, bytes)))) {
    // No block for that many entries: accelerators are off, as after any
    // failed creation.
    drop_accelerator_table();
    return 0;
  }
  g_host.accel_entries = block;
  for (std::size_t i = 0; i < count; ++i) {
    lua_geti(L, 1, static_cast<lua_Integer>(i + 1));
    lua_getfield(L, -1, "key");
    lua_getfield(L, -2, "cmd");
    lua_getfield(L, -3, "fVirt");
    const AccelFields f = pack_accel(arg_opt_int(L, -1), arg_opt_int(L, -3), arg_opt_int(L, -2));
    lua_pop(L, 4);
    // A lookup may run script code (__index, __len) that creates or destroys
    // the set itself; then this block is gone and that call's set stands.
    if (g_accel_changes != change) return 0;
    block[i].fVirt = f.fvirt;
    block[i].key = f.key;
    block[i].cmd = f.cmd;
  }
  drop_accelerator_table();
  g_host.accelerators = CreateAcceleratorTableA(block, static_cast<int>(count));
  return 0;
}

int l_DestroyAcceleratorTable(lua_State*) {
  ++g_accel_changes;
  free_accelerator_entries();
  drop_accelerator_table();
  return 0;
}
