// The bridge from window messages to the script's dialog_callback, the error
// box, and the main window's procedure.
#pragma once

#include <windows.h>

extern "C" {
#include <lua.h>
}

// Offers one message to the global dialog_callback with the six arguments
// (window, message, wParam, lParam, low word, high word) and returns its
// answer converted to a procedure result. A Lua error shows the error box
// (text plus traceback) under `error_caption`, owned by the window, and gives
// 0. The Lua stack is left at the height it had, so calls may nest.
INT_PTR offer_to_script(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const char* error_caption);

// Takes the error value at `index` as the host's error text (empty when it is
// neither a string nor a number). Never throws: when memory runs out the
// text is lost, and the error box says so.
void take_error_text(lua_State* L, int index);

// Shows the host's error text in a modal error box ("not enough memory" when
// it was lost).
void show_error_box(HWND owner, const char* caption);

// Gives a window and its owner the host's window icon (small, then big).
void set_window_icons(HWND window);

// The dialog procedure of the main window (template 2).
INT_PTR CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
