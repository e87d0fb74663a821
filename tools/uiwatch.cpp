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
// Driving a dialog before its button is pressed (in this order, each may be
// repeated; ID is a control identifier anywhere inside the dialog):
//   --set ID TEXT   put TEXT into the control (an edit or editable combo box)
//   --select ID TEXT  select the combo box item starting with TEXT and tell
//                   the dialog (CBN_SELENDOK, CBN_SELCHANGE)
//   --click ID X Y  left click at X,Y inside the control
//   --press ID      press another button first (for example "Add to Custom
//                   Colors")
//   --dump          print every child control: item id=N class=C text=[T]
//   --delay MS      wait MS before reading and acting (default 100)
//   --clipboard-bitmap     instead of dialogs: put a small bitmap on the
//                   clipboard (its only content) and exit 0
//   --clipboard-raw TEXT   instead of dialogs: put TEXT on the clipboard as
//                   CF_TEXT in a block of exactly its length, with no closing
//                   zero byte, and exit 0
//   --next          start the next step: the options after it describe the
//                   next dialog(s) to handle, in sequence
//   --again         this step may handle a dialog that an earlier step
//                   handled already (a run box stays open; the main window)
//   --keys LIST     after the other actions, bring the dialog to the front
//                   and type LIST with real keyboard input (SendInput), which
//                   goes through the program's message loop: keys separated
//                   by commas, each a letter or digit or one of esc, enter,
//                   tab, space, up, down, home, end, with ^ in front for
//                   Ctrl (^s is Ctrl+S) and
//                   ! for Alt (!f opens a File menu)
//   --button 0      press no button at the end
//   --close         instead of a button, close the dialog with its close box
//                   (WM_SYSCOMMAND SC_CLOSE)
//   --serve         answer every dialog of the program until it ends (exit 0
//                   then): a message box gets whichever of its buttons exists
//                   first (OK, Cancel, Abort, Retry, Ignore, Yes, No, Try
//                   again, Continue), any other dialog IDCANCEL and then its
//                   close box; windows captioned "Window" (the main window and
//                   script dialogs) are left to the script. Ends with the line
//                   "served N dialogs". For fuzzers and soaks that open an
//                   unknown number of boxes.
//   --memory CAPTION  instead of dialogs: print the working set and private
//                   bytes of the process owning the top-level window
//                   captioned CAPTION as "memory working=N private=N" and
//                   exit 0 (1 when there is no such window)
//
//   --clipboard-unicode TEXT  instead of dialogs: put TEXT on the clipboard
//                   as CF_UNICODETEXT (its only content) and exit 0
//   --clipboard-file FILE  instead of dialogs: write the clipboard's
//                   CF_UNICODETEXT to FILE in UTF-8 and exit 0 (1 when there
//                   is none)
//
// Output, one box per pair of lines, newlines and tabs escaped as \n and \t:
//   caption=[<caption>]
//   text=<text>
//
// Text is Unicode throughout: arguments are read from the wide command line,
// window texts through the wide functions, and everything is printed and
// compared as UTF-8, so boxes and names in any language can be answered
// whatever the code pages of the two programs.
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Options {
  int count = 1;
  DWORD timeout_ms = 20000;
  int button = IDOK;
  std::string caption;
  bool by_caption = false;
  bool post_quit = false;
  WPARAM quit_code = 0;
  std::vector<std::pair<int, std::string>> set_texts;
  std::vector<std::pair<int, std::string>> selects;
  struct Click {
    int id, x, y;
  };
  std::vector<Click> clicks;
  std::vector<int> presses;
  bool dump = false;
  DWORD delay_ms = 100;
  bool again = false;
  std::string keys;
  bool close = false;
  bool serve = false;
};

Options g_opt;
std::vector<Options> g_steps;  // earlier steps of a --next sequence
std::set<HWND> g_done;
HWND g_found = nullptr;

std::string to_utf8(const wchar_t* w, int n = -1) {
  if (n == 0) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, w, n, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string s(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, n, &s[0], bytes, nullptr, nullptr);
  if (n < 0) s.resize(std::strlen(s.c_str()));
  return s;
}

std::wstring to_wide(const std::string& s) {
  if (s.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

std::string window_text(HWND w) {
  wchar_t buf[8192] = {};
  GetWindowTextW(w, buf, 8192);
  return to_utf8(buf);
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
  if (pid == GetCurrentProcessId() || !IsWindowVisible(w) || !is_dialog(w) || (g_done.count(w) && !g_opt.again))
    return TRUE;
  if (g_opt.post_quit) {
    if (window_text(w) == "Window") {
      g_found = w;
      return FALSE;
    }
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

// Text of a control in another process: GetWindowText does not ask the
// control itself there, WM_GETTEXT does.
std::string control_text(HWND w) {
  wchar_t buf[8192] = {};
  DWORD_PTR n = 0;
  SendMessageTimeoutW(w, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &n);
  buf[8191] = L'\0';
  return to_utf8(buf);
}

// A control by identifier anywhere in the dialog; with `edit`, the edit
// field of that identifier when there is one (a file dialog's name box is
// an edit inside combo boxes that all carry the same identifier).
struct ControlSearch {
  int id;
  bool edit;
  HWND found;
};
BOOL CALLBACK find_control_proc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ControlSearch*>(lp);
  if (GetDlgCtrlID(w) != s->id || !IsWindowVisible(w)) return TRUE;
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (!s->found || std::strcmp(cls, "Edit") == 0) s->found = w;
  return !(s->found == w && (!s->edit || std::strcmp(cls, "Edit") == 0));
}
HWND find_control(HWND dialog, int id, bool edit = false) {
  ControlSearch s = {id, edit, nullptr};
  EnumChildWindows(dialog, find_control_proc, reinterpret_cast<LPARAM>(&s));
  return s.found ? s.found : GetDlgItem(dialog, id);
}

BOOL CALLBACK dump_proc(HWND w, LPARAM) {
  if (!IsWindowVisible(w)) return TRUE;
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  std::printf("item id=%d class=%s text=[%s]\n", GetDlgCtrlID(w), cls, escaped(control_text(w)).c_str());
  return TRUE;
}

// One key down and up; with Ctrl (or Alt) held around it when `ctrl` (`alt`)
// is set.
void type_key(WORD vk, bool ctrl, bool alt) {
  INPUT in[4] = {};
  int n = 0;
  auto add = [&](WORD key, DWORD flags) {
    in[n].type = INPUT_KEYBOARD;
    in[n].ki.wVk = key;
    in[n].ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    in[n].ki.dwFlags = flags;
    ++n;
  };
  const WORD held = alt ? VK_MENU : VK_CONTROL;
  if (ctrl || alt) add(held, 0);
  add(vk, 0);
  add(vk, KEYEVENTF_KEYUP);
  if (ctrl || alt) add(held, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(n), in, sizeof(INPUT));
}

void type_keys(HWND dialog, const std::string& list) {
  SetForegroundWindow(dialog);
  Sleep(200);
  size_t pos = 0;
  while (pos <= list.size()) {
    size_t end = list.find(',', pos);
    if (end == std::string::npos) end = list.size();
    std::string k = list.substr(pos, end - pos);
    pos = end + 1;
    const bool ctrl = !k.empty() && k[0] == '^';
    const bool alt = !k.empty() && k[0] == '!';
    if (ctrl || alt) k.erase(0, 1);
    WORD vk = 0;
    if (k == "esc") vk = VK_ESCAPE;
    else if (k == "enter") vk = VK_RETURN;
    else if (k == "tab") vk = VK_TAB;
    else if (k == "space") vk = VK_SPACE;
    else if (k == "up") vk = VK_UP;
    else if (k == "down") vk = VK_DOWN;
    else if (k == "home") vk = VK_HOME;
    else if (k == "end") vk = VK_END;
    else if (k.size() == 1 && std::isalnum(static_cast<unsigned char>(k[0])))
      vk = static_cast<WORD>(std::toupper(static_cast<unsigned char>(k[0])));
    if (!vk) {
      std::printf("unknown key [%s]\n", k.c_str());
      continue;
    }
    type_key(vk, ctrl, alt);
    Sleep(150);  // one key at a time through the program's queue
  }
}

void act_on(HWND dialog) {
  if (g_opt.dump) {
    EnumChildWindows(dialog, dump_proc, 0);
    std::fflush(stdout);
  }
  for (const auto& st : g_opt.set_texts) {
    HWND c = find_control(dialog, st.first, true);
    if (c) SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(to_wide(st.second).c_str()));
    else std::printf("no control %d\n", st.first);
  }
  for (const auto& sel : g_opt.selects) {
    HWND c = find_control(dialog, sel.first);
    const LRESULT index = c ? SendMessageW(c, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(to_wide(sel.second).c_str()))
                            : CB_ERR;
    if (index == CB_ERR) {
      std::printf("no item [%s] in control %d\n", sel.second.c_str(), sel.first);
      continue;
    }
    HWND parent = GetParent(c);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(sel.first, CBN_SELENDOK), reinterpret_cast<LPARAM>(c));
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(sel.first, CBN_SELCHANGE), reinterpret_cast<LPARAM>(c));
  }
  for (const auto& click : g_opt.clicks) {
    HWND c = find_control(dialog, click.id);
    if (!c) {
      std::printf("no control %d\n", click.id);
      continue;
    }
    RECT r;
    GetWindowRect(c, &r);
    POINT pt = {r.left + click.x, r.top + click.y};
    ScreenToClient(dialog, &pt);
    const LPARAM at = MAKELPARAM(pt.x, pt.y);
    SendMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(dialog, WM_LBUTTONUP, 0, at);
  }
  for (int id : g_opt.presses)
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(find_control(dialog, id)));
  if (!g_opt.keys.empty()) type_keys(dialog, g_opt.keys);
  std::fflush(stdout);
}

// Fills the clipboard for a program's clipboard tests; the result is the
// exit code.
int put_clipboard(const std::string& what, const std::string& text) {
  // The clipboard is open for one window at a time, and the program under
  // test polls it: keep trying for a while. A window of our own owns the data
  // (SetClipboardData needs an owner on Windows).
  HWND owner = CreateWindowA("STATIC", "uiwatch", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  bool opened = false;
  for (int i = 0; i < 200 && !(opened = OpenClipboard(owner)); ++i) Sleep(25);
  if (!opened) {
    std::printf("clipboard %s failed: cannot open the clipboard\n", what.c_str());
    return 1;
  }
  EmptyClipboard();
  HANDLE data = nullptr;
  UINT format = CF_TEXT;
  if (what == "bitmap") {
    format = CF_BITMAP;
    HDC screen = GetDC(nullptr);
    data = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
  } else if (what == "unicode") {
    format = CF_UNICODETEXT;
    const std::wstring wide = to_wide(text);
    const size_t size = (wide.size() + 1) * sizeof(wchar_t);
    data = GlobalAlloc(GMEM_MOVEABLE, size);
    if (data) {
      std::memcpy(GlobalLock(data), wide.c_str(), size);
      GlobalUnlock(data);
    }
  } else {
    data = GlobalAlloc(GMEM_MOVEABLE, text.size());
    if (data) {
      std::memcpy(GlobalLock(data), text.data(), text.size());
      GlobalUnlock(data);
    }
  }
  const bool ok = data && SetClipboardData(format, data);
  CloseClipboard();
  std::printf("clipboard %s %s\n", what.c_str(), ok ? "set" : "failed");
  return ok ? 0 : 1;
}

// --clipboard-file: the clipboard's Unicode text into a UTF-8 file, for a
// program that started this helper and cannot read its output.
int save_clipboard(const char* file) {
  bool opened = false;
  for (int i = 0; i < 200 && !(opened = OpenClipboard(nullptr)); ++i) Sleep(25);
  HANDLE data = opened ? GetClipboardData(CF_UNICODETEXT) : nullptr;
  const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  const std::string utf8 = text ? to_utf8(text) : std::string();
  if (text) GlobalUnlock(data);
  if (opened) CloseClipboard();
  if (!text) return 1;
  FILE* f = _wfopen(to_wide(file).c_str(), L"wb");
  if (!f) return 1;
  std::fwrite(utf8.data(), 1, utf8.size(), f);
  return std::fclose(f) == 0 ? 0 : 1;
}

// --serve: every dialog of the program but its "Window"s, until it ends.
struct ServeSearch {
  HWND box;
  DWORD host_pid;
};
BOOL CALLBACK serve_find_proc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<ServeSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == GetCurrentProcessId() || !IsWindowVisible(w) || !is_dialog(w)) return TRUE;
  if (window_text(w) == "Window") {
    if (!s->host_pid) s->host_pid = pid;
    return TRUE;
  }
  if (!s->box) s->box = w;
  return TRUE;
}

void serve_answer(HWND box, int tries) {
  if (tries >= 3) {  // pressing did not end it: the close box
    PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    return;
  }
  if (GetDlgItem(box, 0xFFFF)) {
    static const int order[] = {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO, IDTRYAGAIN, IDCONTINUE};
    for (int id : order) {
      if (GetDlgItem(box, id)) {
        press(box, id);
        return;
      }
    }
  }
  press(box, IDCANCEL);
}

int serve(DWORD timeout_ms, DWORD delay_ms) {
  const DWORD start = GetTickCount();
  HANDLE host = nullptr;
  DWORD host_pid = 0;
  int served = 0;
  HWND last = nullptr;
  int tries = 0;
  for (;;) {
    if (GetTickCount() - start > timeout_ms) {
      std::printf("timeout while serving, served %d dialogs\n", served);
      std::fflush(stdout);
      return 1;
    }
    ServeSearch s = {nullptr, 0};
    EnumWindows(serve_find_proc, reinterpret_cast<LPARAM>(&s));
    if (!host_pid && s.host_pid) {
      host_pid = s.host_pid;
      host = OpenProcess(SYNCHRONIZE, FALSE, host_pid);
    }
    if (!s.box) {
      if (host && WaitForSingleObject(host, 0) == WAIT_OBJECT_0) break;
      Sleep(20);
      continue;
    }
    if (!host_pid) {  // no main window seen: the program of the first box
      GetWindowThreadProcessId(s.box, &host_pid);
      host = OpenProcess(SYNCHRONIZE, FALSE, host_pid);
    }
    Sleep(delay_ms);
    if (s.box != last) {
      last = s.box;
      tries = 0;
      ++served;
      std::printf("caption=[%s]\n", escaped(window_text(s.box)).c_str());
      HWND text = GetDlgItem(s.box, 0xFFFF);
      std::printf("text=%s\n", text ? escaped(window_text(text)).c_str() : "");
      std::fflush(stdout);
    }
    serve_answer(s.box, tries++);
    Sleep(delay_ms);
  }
  std::printf("served %d dialogs\n", served);
  std::fflush(stdout);
  return 0;
}

// --memory: the program's memory, found through one of its windows.
struct CaptionSearch {
  const char* caption;
  HWND found;
};
BOOL CALLBACK caption_find_proc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<CaptionSearch*>(lp);
  if (window_text(w) != s->caption) return TRUE;
  s->found = w;
  return FALSE;
}

int print_memory(const char* caption) {
  CaptionSearch s = {caption, nullptr};
  EnumWindows(caption_find_proc, reinterpret_cast<LPARAM>(&s));
  DWORD pid = 0;
  if (s.found) GetWindowThreadProcessId(s.found, &pid);
  HANDLE process = pid ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid) : nullptr;
  PROCESS_MEMORY_COUNTERS_EX pmc = {};
  pmc.cb = sizeof pmc;
  if (!process || !GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc)) {
    std::printf("memory unknown\n");
    return 1;
  }
  CloseHandle(process);
  std::printf("memory working=%llu private=%llu\n", static_cast<unsigned long long>(pmc.WorkingSetSize),
              static_cast<unsigned long long>(pmc.PrivateUsage));
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main() {
  // The arguments as the caller wrote them, in any language: from the wide
  // command line, in UTF-8.
  int argc = 0;
  wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> arg_strings;
  for (int i = 0; i < argc; ++i) arg_strings.push_back(to_utf8(wargv[i]));
  std::vector<const char*> arg_pointers;
  for (const std::string& a : arg_strings) arg_pointers.push_back(a.c_str());
  const char* const* argv = arg_pointers.data();
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (a == "--count" && v) {
      g_opt.count = std::atoi(v);
      ++i;
    } else if (a == "--timeout" && v) {
      g_opt.timeout_ms = std::strtoul(v, nullptr, 10);
      ++i;
    } else if (a == "--button" && v) {
      g_opt.button = std::atoi(v);
      ++i;
    } else if (a == "--caption" && v) {
      g_opt.caption = v;
      g_opt.by_caption = true;
      ++i;
    } else if (a == "--post-quit" && v) {
      g_opt.post_quit = true;
      g_opt.quit_code = std::strtoull(v, nullptr, 0);
      ++i;
    } else if (a == "--set" && v && i + 2 < argc) {
      g_opt.set_texts.emplace_back(std::atoi(v), argv[i + 2]);
      i += 2;
    } else if (a == "--select" && v && i + 2 < argc) {
      g_opt.selects.emplace_back(std::atoi(v), argv[i + 2]);
      i += 2;
    } else if (a == "--click" && v && i + 3 < argc) {
      g_opt.clicks.push_back({std::atoi(v), std::atoi(argv[i + 2]), std::atoi(argv[i + 3])});
      i += 3;
    } else if (a == "--press" && v) {
      g_opt.presses.push_back(std::atoi(v));
      ++i;
    } else if (a == "--dump") {
      g_opt.dump = true;
    } else if (a == "--again") {
      g_opt.again = true;
    } else if (a == "--close") {
      g_opt.close = true;
      g_opt.button = 0;
    } else if (a == "--keys" && v) {
      g_opt.keys = v;
      ++i;
    } else if (a == "--clipboard-bitmap") {
      return put_clipboard("bitmap", "");
    } else if (a == "--clipboard-raw" && v) {
      return put_clipboard("raw", v);
    } else if (a == "--clipboard-unicode" && v) {
      return put_clipboard("unicode", v);
    } else if (a == "--clipboard-file" && v) {
      return save_clipboard(v);
    } else if (a == "--delay" && v) {
      g_opt.delay_ms = std::strtoul(v, nullptr, 10);
      ++i;
    } else if (a == "--serve") {
      g_opt.serve = true;
    } else if (a == "--memory" && v) {
      return print_memory(v);
    } else if (a == "--next") {
      g_steps.push_back(g_opt);
      const DWORD timeout = g_opt.timeout_ms;
      g_opt = Options();
      g_opt.timeout_ms = timeout;
    } else {
      std::fprintf(stderr, "uiwatch: unknown argument %s\n", a.c_str());
      return 2;
    }
  }

  if (g_opt.serve) return serve(g_opt.timeout_ms, g_opt.delay_ms);
  g_steps.push_back(g_opt);
  const DWORD start = GetTickCount();
  for (const Options& step : g_steps) {
    g_opt = step;
    int handled = 0;
    while (handled < g_opt.count) {
      if (GetTickCount() - start > g_opt.timeout_ms) {
        std::printf("timeout after %d of %d\n", handled, g_opt.count);
        std::fflush(stdout);
        return 1;
      }
      g_found = nullptr;
      EnumWindows(find_window, 0);
      if (!g_found) {
        Sleep(50);
        continue;
      }
      if (g_opt.post_quit) {
        Sleep(1000);  // let the program's message loop run for a while first
        PostMessageA(g_found, WM_QUIT, g_opt.quit_code, 0);
        std::printf("posted WM_QUIT %llu\n", static_cast<unsigned long long>(g_opt.quit_code));
        std::fflush(stdout);
        return 0;
      }
      // Let the box finish laying out its text before reading it.
      Sleep(g_opt.delay_ms);
      std::printf("caption=[%s]\n", escaped(window_text(g_found)).c_str());
      HWND text = GetDlgItem(g_found, 0xFFFF);
      std::printf("text=%s\n", text ? escaped(window_text(text)).c_str() : "");
      std::fflush(stdout);
      g_done.insert(g_found);
      act_on(g_found);
      if (g_opt.button) press(g_found, g_opt.button);
      if (g_opt.close) PostMessageA(g_found, WM_SYSCOMMAND, SC_CLOSE, 0);
      ++handled;
    }
  }
  return 0;
}
