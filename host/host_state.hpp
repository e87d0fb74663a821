// Process-wide state of the script host. One instance of each item lives for
// the whole run; nothing here is ever freed (the process ends with it).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

extern "C" {
#include <lua.h>
}

// Size in bytes of the large text buffer; scripts see it as SizeDocument.
constexpr std::size_t kLargeTextSize = 10000000;
// Size in bytes of the shared text buffer (input box, text ranges).
constexpr std::size_t kSharedTextSize = 32768;
// Local text buffers of the bindings (window text, messages, run box).
constexpr std::size_t kLocalTextSize = 32767;

struct HostState {
  lua_State* L = nullptr;
  HINSTANCE instance = nullptr;
  HACCEL accelerators = nullptr;   // applied by the message loop while set
  ACCEL* accel_entries = nullptr;  // the records behind the last table
  HWND current_window = nullptr;   // window whose script callback runs now
  HICON window_icon = nullptr;
  COLORREF* custom_colors = nullptr;  // 16 entries, kept across colour dialogs
  std::string error_text;             // last error shown in an error box
  bool error_text_lost = false;       // memory ran out while it was taken
};

extern HostState g_host;

// The two static buffers. Zero at start, never cleared; each user writes a
// terminated string into its front part.
extern char g_shared_text[kSharedTextSize];
extern char g_large_text[kLargeTextSize];
