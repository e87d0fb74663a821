// Rich-edit content streamed as RTF to and from files and Lua strings.
#include <windows.h>

#include <richedit.h>

#include <cstdint>
#include <cstdio>

#include "args.hpp"
#include "bindings.hpp"
#include "core/text_bounds.hpp"
#include "core/text_stream.hpp"
#include "host_state.hpp"

// The rich-edit header packs its records to 4 bytes, also on 64-bit.
static_assert(sizeof(EDITSTREAM) == 20, "EDITSTREAM");

namespace {

// Where the current memory stream stands in the large text buffer. The
// stream messages call back synchronously, so one counter serves both
// directions; every memory stream starts it at 0.
std::int32_t g_stream_position;
// Length of the text a memory stream feeds into a control.
std::size_t g_stream_length;

// A failed read or write stops the stream with the system's error code, so
// the caller sees the failure in dwError instead of a silently short file.
DWORD stream_failure() {
  const DWORD error = GetLastError();
  return error ? error : ERROR_GEN_FAILURE;
}

DWORD CALLBACK file_read(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* done) {
  DWORD got = 0;
  const BOOL ok = ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(requested), &got, nullptr);
  *done = static_cast<LONG>(got);  // 0 at the end of the file ends the stream
  return ok ? 0 : stream_failure();
}

DWORD CALLBACK file_write(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* done) {
  DWORD put = 0;
  const BOOL ok = WriteFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(requested), &put, nullptr);
  *done = static_cast<LONG>(put);
  return ok ? 0 : stream_failure();
}

// Stops the stream once the large text buffer is full (less one byte for
// the terminating zero): the script gets the RTF that fit, never more.
DWORD CALLBACK memory_write(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* done) {
  std::int32_t taken = 0;
  const std::uint32_t result =
      stream_write_piece(reinterpret_cast<char*>(cookie), kLargeTextSize, g_stream_position, buffer, requested, taken);
  *done = taken;
  return result;
}

DWORD CALLBACK memory_read(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* done) {
  std::int32_t given = 0;
  const std::uint32_t result = stream_read_piece(reinterpret_cast<const char*>(cookie), g_stream_length,
                                                 g_stream_position, buffer, requested, given);
  *done = given;
  return result;
}

DWORD send_stream(HWND edit, UINT message, DWORD_PTR cookie, EDITSTREAMCALLBACK callback) {
  EDITSTREAM stream = {};
  stream.dwCookie = cookie;
  stream.dwError = 0;
  stream.pfnCallback = callback;
  SendMessageA(edit, message, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  return stream.dwError;
}

}  // namespace

int l_LoadRichEdit(lua_State* L) {
  const char* path = arg_str(L, 2);
  HWND edit = arg_hwnd(L, 1);
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return push_bool(L, FALSE);
  const DWORD error = send_stream(edit, EM_STREAMIN, reinterpret_cast<DWORD_PTR>(file), file_read);
  CloseHandle(file);
  return push_bool(L, error == 0);
}

// The result is true when saving FAILED (after its message box): scripts
// written for this runtime test it that way round.
int l_SaveRichEdit(lua_State* L) {
  const char* path = arg_str(L, 2);
  HWND edit = arg_hwnd(L, 1);
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    MessageBoxA(edit, "Could not create file.", "Error", MB_ICONERROR);
    return push_bool(L, FALSE);
  }
  const DWORD error = send_stream(edit, EM_STREAMOUT, reinterpret_cast<DWORD_PTR>(file), file_write);
  CloseHandle(file);
  if (error != 0) {
    char text[32];
    std::snprintf(text, sizeof text, "code = %ld", static_cast<long>(static_cast<LONG>(error)));
    MessageBoxA(edit, text, "Error", MB_ICONERROR);
  }
  return push_bool(L, error != 0);
}

int l_StreamOutRichEdit(lua_State* L) {
  HWND edit = arg_hwnd(L, 1);
  g_stream_position = 0;
  g_large_text[0] = '\0';
  send_stream(edit, EM_STREAMOUT, reinterpret_cast<DWORD_PTR>(g_large_text), memory_write);
  lua_pushlstring(L, g_large_text, static_cast<std::size_t>(g_stream_position));
  return 1;
}

int l_StreamInRichEdit(lua_State* L) {
  HWND edit = arg_hwnd(L, 1);
  size_t len = 0;
  const char* text = arg_opt_str(L, 2, &len);
  g_stream_length = copy_cut(g_large_text, kLargeTextSize, text, text ? len : 0);
  g_stream_position = 0;
  send_stream(edit, EM_STREAMIN, reinterpret_cast<DWORD_PTR>(g_large_text), memory_read);
  lua_pushlstring(L, g_large_text, g_stream_length);
  return 1;
}
