// scripthost: creates the Lua state, gives it the host's vocabulary, opens the
// main window (whose initialisation runs init.lua) and pumps messages.
#include <windows.h>
#include <commctrl.h>

extern "C" {
#include <lauxlib.h>
#include <lualib.h>
}

#include "bridge.hpp"
#include "constants.hpp"
#include "host_state.hpp"
#include "registry.hpp"
#include "resources/resource_ids.h"

HostState g_host;
char g_shared_text[kSharedTextSize];
char g_large_text[kLargeTextSize];

namespace {

void run_message_loop(HWND main_window) {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) break;      // WM_QUIT
    if (got == -1) continue;  // nothing was retrieved; msg holds no message
    // The table is read afresh for every message, so a script that creates or
    // destroys it takes effect with the next keystroke. Commands always go to
    // the main window, whichever window of the thread has the focus.
    if (g_host.accelerators && TranslateAcceleratorA(main_window, g_host.accelerators, &msg)) continue;
    if (IsDialogMessageA(main_window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  lua_State* L = luaL_newstate();
  g_host.L = L;
  luaL_openlibs(L);

  register_constants(L);
  register_bindings(L, 1, kLastBindingBeforeColorTable);
  g_host.custom_colors = static_cast<COLORREF*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, 16 * sizeof(COLORREF)));
  register_bindings(L, kLastBindingBeforeColorTable + 1, kBindingCount);

  INITCOMMONCONTROLSEX icc = {};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_LISTVIEW_CLASSES;
  InitCommonControlsEx(&icc);

  g_host.instance = GetModuleHandleA(nullptr);
  g_host.accelerators = nullptr;
  LoadLibraryA("Msftedit.dll");  // registers the rich-edit window classes

  // init.lua runs inside this call, while the window handles WM_INITDIALOG.
  HWND main_window = CreateDialogParamA(g_host.instance, MAKEINTRESOURCEA(IDD_WINDOW), nullptr, main_window_proc, 0);

  run_message_loop(main_window);
  // The exit code is 0 whatever WM_QUIT carried; the Lua state stays open.
  ExitProcess(0);
}
