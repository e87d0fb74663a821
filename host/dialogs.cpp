// The host's own modal dialogs: input box, run box and script dialogs.
//
// Each runs its own modal loop inside the binding that opened it and is owned
// by the current window, so a dialog opened from code running in a run box or
// a script dialog belongs to that dialog. Script code never raises through a
// dialog procedure: every call into Lua that might fail is protected, because
// a Lua error must not unwind through the platform's frames.
#include <cstring>

#include "args.hpp"
#include "bindings.hpp"
#include "bridge.hpp"
#include "host_state.hpp"
#include "resources/resource_ids.h"

namespace {

void focus_field(HWND box) {
  HWND field = GetDlgItem(box, IDC_PROMPT_FIELD);
  SetFocus(field);
  SendMessageA(field, EM_SETSEL, 0, -1);
}

// ---- input box ------------------------------------------------------------

// The texts of one getInput call; null where the call leaves the template's.
struct InputTexts {
  const char* prompt = nullptr;
  const char* initial = nullptr;
  const char* caption = nullptr;
};

INT_PTR CALLBACK input_box_proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* texts = reinterpret_cast<const InputTexts*>(lparam);
      if (texts->prompt) SetDlgItemTextA(box, IDC_PROMPT_LABEL, texts->prompt);
      if (texts->initial) SetDlgItemTextA(box, IDC_PROMPT_FIELD, texts->initial);
      if (texts->caption) SetWindowTextA(box, texts->caption);
      focus_field(box);
      set_window_icons(box);
      return 0;  // the focus is set already
    }
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        GetWindowTextA(GetDlgItem(box, IDC_PROMPT_FIELD), g_shared_text, kLocalTextSize);
        EndDialog(box, 1);
        return 0;
      }
      if (LOWORD(wparam) == IDCANCEL) {
        EndDialog(box, 0);
        return -1;
      }
      return 0;
    case WM_CLOSE: EndDialog(box, 0); return 0;
    default: return 0;
  }
}

// ---- run box --------------------------------------------------------------

// Runs inside a protected call: (run box, code text) -> the chunk's results
// joined by tabs. Everything that can raise (setting the global, compiling,
// running, a __tostring of a result) happens in here.
int run_code(lua_State* L) {
  lua_pushvalue(L, 1);
  lua_setglobal(L, "sharedhWin");
  size_t len = 0;
  const char* code = lua_tolstring(L, 2, &len);
  // The code is its own chunk name, so messages quote the code itself.
  if (luaL_loadbufferx(L, code, len, code, nullptr) != LUA_OK) return lua_error(L);
  const int base = lua_gettop(L) - 1;  // results start above this
  lua_call(L, 0, LUA_MULTRET);
  const int last = lua_gettop(L);
  luaL_Buffer joined;
  luaL_buffinit(L, &joined);
  for (int i = base + 1; i <= last; ++i) {
    if (i > base + 1) luaL_addchar(&joined, '\t');
    luaL_tolstring(L, i, nullptr);
    luaL_addvalue(&joined);
  }
  luaL_pushresult(&joined);
  return 1;
}

void run_box_code(HWND box) {
  char code[kLocalTextSize] = {};
  GetDlgItemTextA(box, IDC_PROMPT_FIELD, code, kLocalTextSize);

  lua_State* L = g_host.L;
  const int top = lua_gettop(L);
  const HWND saved = g_host.current_window;
  g_host.current_window = box;

  lua_pushcfunction(L, run_code);
  lua_pushlightuserdata(L, box);
  lua_pushlstring(L, code, std::strlen(code));
  if (lua_pcall(L, 2, 1, 0) != LUA_OK) {
    // The label keeps its text: it shows the last results that succeeded.
    take_error_text(L, -1);
    show_error_box(box, "");
  } else {
    SetDlgItemTextA(box, IDC_PROMPT_LABEL, lua_tostring(L, -1));
  }
  lua_settop(L, top);
  g_host.current_window = saved;
}

INT_PTR CALLBACK run_box_proc(HWND box, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextA(box, IDC_PROMPT_LABEL, "Enter lua code to run.");
      SetWindowTextA(box, "Run lua code");
      focus_field(box);
      set_window_icons(box);
      return 0;
    case WM_CLOSE: EndDialog(box, 0); return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) run_box_code(box);  // the box stays open
      else if (LOWORD(wparam) == IDCANCEL) EndDialog(box, 0);
      return -1;
    default: return 0;
  }
}

// ---- script dialogs -------------------------------------------------------

// What the dialog's WM_INITDIALOG needs of its NewDialog call. The call's
// arguments stay on its stack: WM_INITDIALOG arrives inside the call, and the
// messages before it (WM_SETFONT) leave the stack as they found it.
struct NewDialogCall {
  int nargs;
};

// Protected: (dialog, initialisation function) with dialog_hwin set first.
int init_script_dialog(lua_State* L) {
  lua_pushvalue(L, 1);
  lua_setglobal(L, "dialog_hwin");
  lua_pushvalue(L, 2);
  lua_call(L, 0, 0);
  return 0;
}

// Protected: (dialog, value, type name, count) -> "top:N type:T value:V" for
// a first argument that is not a function.
int describe_non_function(lua_State* L) {
  lua_pushvalue(L, 1);
  lua_setglobal(L, "dialog_hwin");
  const char* type = lua_tostring(L, 3);
  const lua_Integer top = lua_tointeger(L, 4);
  const char* value = luaL_tolstring(L, 2, nullptr);
  lua_pushfstring(L, "top:%I type:%s value:%s", top, type, value);
  return 1;
}

void start_script_dialog(HWND dialog, const NewDialogCall* call) {
  lua_State* L = g_host.L;
  const int top = lua_gettop(L);
  const HWND saved = g_host.current_window;
  g_host.current_window = dialog;

  const bool is_function = call->nargs >= 1 && lua_type(L, 1) == LUA_TFUNCTION;
  if (is_function) {
    lua_pushcfunction(L, init_script_dialog);
    lua_pushlightuserdata(L, dialog);
    lua_pushvalue(L, 1);
    if (lua_pcall(L, 2, 0, 0) != LUA_OK) {
      take_error_text(L, -1);
      show_error_box(dialog, "function from new dialog");
    }
  } else {
    const char* type = lua_typename(L, call->nargs >= 1 ? lua_type(L, 1) : LUA_TNONE);
    lua_pushcfunction(L, describe_non_function);
    lua_pushlightuserdata(L, dialog);
    if (call->nargs >= 1) lua_pushvalue(L, 1);
    else lua_pushnil(L);
    lua_pushstring(L, type);
    // The count of values the call's stack holds once the text form of its
    // first argument is pushed: one more than its arguments.
    lua_pushinteger(L, call->nargs + 1);
    if (lua_pcall(L, 4, 1, 0) != LUA_OK) {
      take_error_text(L, -1);
      show_error_box(dialog, "function from new dialog");
    } else {
      MessageBoxA(dialog, lua_tostring(L, -1), "new dialog L 1 wasn't a function?", MB_ICONERROR);
    }
  }
  lua_settop(L, top);
  g_host.current_window = saved;
}

INT_PTR CALLBACK script_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    start_script_dialog(dialog, reinterpret_cast<const NewDialogCall*>(lparam));
    set_window_icons(dialog);
    return -1;
  }
  // Everything else (WM_SETFONT, which comes before WM_INITDIALOG, included)
  // goes to dialog_callback like the main window's messages; the callback
  // makes this dialog the current window only for its own run.
  const HWND saved = g_host.current_window;
  const INT_PTR result = offer_to_script(dialog, message, wparam, lparam, "dialog callback from new dialog");
  g_host.current_window = saved;
  return result;
}

}  // namespace

int l_getInput(lua_State* L) {
  // The arguments are checked before the box exists, so an argument error
  // never leaves a half-built box behind. Numbers become their text in place
  // and stay on this call's stack while the box is open.
  const int n = lua_gettop(L);
  InputTexts texts;
  if (n >= 1 && n <= 3) {
    texts.prompt = arg_str(L, 1);
    if (n >= 2) texts.initial = arg_str(L, 2);
    if (n >= 3) texts.caption = arg_str(L, 3);
  }
  const INT_PTR ok = DialogBoxParamA(g_host.instance, MAKEINTRESOURCEA(IDD_PROMPT), g_host.current_window,
                                     input_box_proc, reinterpret_cast<LPARAM>(&texts));
  if (ok > 0) lua_pushstring(L, g_shared_text);
  else lua_pushnil(L);
  return 1;
}

int l_runbox(lua_State*) {
  DialogBoxParamA(g_host.instance, MAKEINTRESOURCEA(IDD_PROMPT), g_host.current_window, run_box_proc, 0);
  return 0;
}

int l_NewDialog(lua_State* L) {
  NewDialogCall call{lua_gettop(L)};
  DialogBoxParamA(g_host.instance, MAKEINTRESOURCEA(IDD_WINDOW), g_host.current_window, script_dialog_proc,
                  reinterpret_cast<LPARAM>(&call));
  return 0;
}
