// uiwatch: answers the modal boxes of another program during a test.
//
// It waits for top-level dialogs (class #32770) of other processes, prints
// each one's caption and text, and presses one of its buttons. By default it
// handles message boxes only (dialogs holding the static control 0xFFFF that
// carries a message box's text), so a program's own main dialog is left
// alone.
//
//   uiwatch [--count N] [--timeout MS] [--button ID] [--caption TEXT]
//           [--post-quit CODE]
//
//   --count N       handle N dialogs, then exit 0 (default 1)
//   --timeout MS    give up after MS milliseconds, exit 1 (default 20000)
//   --button ID     the button to press (default IDOK = 1)
//   --caption TEXT  handle dialogs with this caption (any dialog, not just
//                   message boxes)
//   --post-quit C   instead of boxes: wait for a window captioned "Window"
//                   (the host's main window), post WM_QUIT with wParam C to it
//                   and exit 0
//
// Output, one box per pair of lines, newlines and tabs escaped as \n and \t:
//   caption=[<caption>]
//   text=<text>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

struct Options {
  int count = 1;
  DWORD timeout_ms = 20000;
  int button = IDOK;
  std::string caption;
  bool by_caption = false;
  bool post_quit = false;
  WPARAM quit_code = 0;
};

Options g_opt;
std::set<HWND> g_done;
HWND g_found = nullptr;

std::string window_text(HWND w) {
  char buf[8192] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

std::string escaped(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '\r') continue;
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out;
}

bool is_dialog(HWND w) {
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  return std::strcmp(cls, "#32770") == 0;
}

BOOL CALLBACK find_window(HWND w, LPARAM) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId() || !IsWindowVisible(w) || !is_dialog(w) || g_done.count(w))
    return TRUE;
  if (g_opt.post_quit) {
    if (window_text(w) == "Window") { g_found = w; return FALSE; }
    return TRUE;
  }
  if (g_opt.by_caption ? window_text(w) == g_opt.caption : GetDlgItem(w, 0xFFFF) != nullptr) {
    g_found = w;
    return FALSE;
  }
  return TRUE;
}

void press(HWND box, int id) {
  HWND button = GetDlgItem(box, id);
  if (button) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  } else {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--count" && v) { g_opt.count = std::atoi(v); ++i; }
    else if (a == "--timeout" && v) { g_opt.timeout_ms = std::strtoul(v, nullptr, 10); ++i; }
    else if (a == "--button" && v) { g_opt.button = std::atoi(v); ++i; }
    else if (a == "--caption" && v) { g_opt.caption = v; g_opt.by_caption = true; ++i; }
    else if (a == "--post-quit" && v) { g_opt.post_quit = true; g_opt.quit_code = std::strtoull(v, nullptr, 0); ++i; }
    else { std::fprintf(stderr, "uiwatch: unknown argument %s\n", a.c_str()); return 2; }
  }

  const DWORD start = GetTickCount();
  int handled = 0;
  while (handled < g_opt.count) {
    if (GetTickCount() - start > g_opt.timeout_ms) {
      std::printf("timeout after %d of %d\n", handled, g_opt.count);
      std::fflush(stdout);
      return 1;
    }
    g_found = nullptr;
    EnumWindows(find_window, 0);
    if (!g_found) { Sleep(50); continue; }
    if (g_opt.post_quit) {
      Sleep(1000);  // let the program's message loop run for a while first
      PostMessageA(g_found, WM_QUIT, g_opt.quit_code, 0);
      std::printf("posted WM_QUIT %llu\n", static_cast<unsigned long long>(g_opt.quit_code));
      std::fflush(stdout);
      return 0;
    }
    // Let the box finish laying out its text before reading it.
    Sleep(100);
    std::printf("caption=[%s]\n", escaped(window_text(g_found)).c_str());
    std::printf("text=%s\n", escaped(window_text(GetDlgItem(g_found, 0xFFFF))).c_str());
    std::fflush(stdout);
    g_done.insert(g_found);
    press(g_found, g_opt.button);
    ++handled;
  }
  return 0;
}
