// Common dialogs, message boxes, shell, clipboard and process information.
#include <windows.h>
#include <commdlg.h>
#include <io.h>
#include <mmsystem.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "args.hpp"
#include "lua_glue.hpp"
#include "core/wave_image.hpp"
#include "bindings.hpp"
#include "core/paths.hpp"
#include "core/shell_rules.hpp"
#include "host_state.hpp"

static_assert(sizeof(OPENFILENAMEA) == 152, "64-bit OPENFILENAMEA");
static_assert(sizeof(CHOOSEFONTA) == 104, "64-bit CHOOSEFONTA");
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA");
static_assert(sizeof(CHOOSECOLORA) == 72, "64-bit CHOOSECOLORA");
static_assert(sizeof(BROWSEINFOA) == 64, "64-bit BROWSEINFOA");

namespace {

constexpr std::size_t kPathBufferSize = 260;
constexpr int kCustomColorCount = 16;

// --- file dialogs --------------------------------------------------------

using FileDialogCall = BOOL(WINAPI*)(LPOPENFILENAMEA);

int run_file_dialog(lua_State* L, FileDialogCall call, DWORD flags) {
  const int count = lua_gettop(L);
  std::string_view args[3];
  if (count >= 1 && count <= 3) {
    for (int i = 0; i < count; ++i) {
      size_t len = 0;
      const char* s = arg_str(L, i + 1, &len);
      args[i] = std::string_view(s, len);
    }
  }
  FileDialogBuffers buffers;
  fill_file_dialog_buffers(buffers, count, args);

  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = g_host.current_window;
  ofn.lpstrFilter = buffers.filter;
  ofn.lpstrFile = buffers.file;
  ofn.nMaxFile = kDialogBufferSize;
  ofn.lpstrDefExt = buffers.extension;
  ofn.Flags = flags;
  if (call(&ofn)) {
    push_buffer_text(L, buffers.file, sizeof buffers.file);
  } else {
    lua_pushnil(L);
  }
  return 1;
}

// --- directory search ----------------------------------------------------

// The one wildcard search of the program.
struct DirSearch {
  intptr_t handle = -1;
  unsigned mask = 0;
  char name[kPathBufferSize] = {};
};
DirSearch g_dir;

void close_dir_search() {
  if (g_dir.handle != -1) _findclose(g_dir.handle);
  g_dir.handle = -1;
}

// Steps from the entry in `data` to the first accepted one. True with the
// name kept when one is found; false with the search closed when it ran out.
bool settle_on_accepted(__finddata64_t& data) {
  for (;;) {
    if (dir_entry_accepted(data.attrib, g_dir.mask)) {
      std::memset(g_dir.name, 0, sizeof g_dir.name);
      const std::size_t n = strnlen(data.name, sizeof data.name);
      std::memcpy(g_dir.name, data.name, std::min(n, sizeof g_dir.name - 1));
      return true;
    }
    if (_findnext64(g_dir.handle, &data) != 0) {
      close_dir_search();
      return false;
    }
  }
}

// --- command line --------------------------------------------------------

// Split once: the command line is fixed for the life of the process.
const std::vector<std::string>& program_arguments() {
  static const std::vector<std::string> argv = split_command_line(GetCommandLineA());
  return argv;
}

// Results computed as std::string are kept here while Lua copies them: a
// string in the binding's own frame would leak if the push raised (a Lua
// error skips its destructor).
std::string g_result_text;

int push_result_text(lua_State* L) {
  lua_pushlstring(L, g_result_text.data(), g_result_text.size());
  return 1;
}

COLORREF* custom_colors() {
  // Start-up allocates the table; should that have failed, a static one
  // keeps the colour dialog working (it must be given one).
  static COLORREF fallback[kCustomColorCount];
  return g_host.custom_colors ? g_host.custom_colors : fallback;
}

}  // namespace

// --- mechanical bindings -----------------------------------------------------

int l_messageBox(lua_State* L) {
  const HWND owner = arg_hwnd(L, 1);
  const char* text = arg_str(L, 2);
  const char* caption = arg_str(L, 3);
  const UINT type = static_cast<UINT>(arg_rounded_i32(L, 4));
  return push_int(L, MessageBoxA(owner, text, caption, type));
}

// The longest file name ShellExecute passes on.
constexpr size_t kShellFileMax = 960;
// The longest sound name sndPlaySound passes on.
constexpr size_t kSoundNameMax = 32766;

int l_ShellExecute(lua_State* L) {
  const HWND owner = arg_hwnd(L, 1);
  const char* operation = arg_str(L, 2);
  const char* file = arg_str(L, 3);
  const char* parameters = arg_str(L, 4);
  const char* directory = arg_str(L, 5);
  const int show = arg_rounded_i32(L, 6);
  // The shell of our test platform crashes the process on a file name of
  // 997 characters or more (a path or URL that long cannot be opened on any
  // system): such a name gets "file not found", as an unknown file does.
  if (file && std::strlen(file) > kShellFileMax) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return push_int(L, SE_ERR_FNF);
  }
  const HINSTANCE r = ShellExecuteA(owner, operation, file, parameters, directory, show);
  return push_int(L, static_cast<lua_Integer>(reinterpret_cast<INT_PTR>(r)));
}

namespace {

// Sounds played from memory (SND_MEMORY) play from a copy of the host's: an
// asynchronous or looping sound goes on after the call, when the script's
// string may be gone. Two copies alternate so the one a playing sound reads
// is never overwritten: a new sound either stops the old one or, with
// SND_NOSTOP, fails and leaves it playing from its copy.
std::string g_sound_images[2];
int g_sound_image_in_use = 0;

}  // namespace

int l_sndPlaySound(lua_State* L) {
  size_t len = 0;
  const char* sound = arg_str(L, 1, &len);
  const UINT flags = arg_u32(L, 2);
  if (!(flags & SND_MEMORY)) {
    // No file or alias name is that long (Windows paths end at 32,767
    // characters with their terminator), and the sound functions of our test
    // platform read through the name's length as an address from there on.
    if (std::strlen(sound) > kSoundNameMax) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return push_int(L, 0);
    }
    return push_int(L, sndPlaySoundA(sound, flags) ? 1 : 0);
  }
  // The system reads a memory image by the sizes in its headers: refuse one
  // that claims more bytes than the string holds.
  if (!wave_image_fits(sound, len)) return push_int(L, 0);
  const int next = 1 - g_sound_image_in_use;
  g_sound_images[next].assign(sound, len);
  const BOOL played = sndPlaySoundA(g_sound_images[next].data(), flags);
  if (played) g_sound_image_in_use = next;
  return push_int(L, played ? 1 : 0);
}

int l_GetCommandLine(lua_State* L) {
  lua_pushstring(L, GetCommandLineA());
  return 1;
}

int l_Command(lua_State* L) {
  const std::int32_t index = arg_i32(L, 1);
  g_result_text = command_argument(program_arguments(), index);
  return push_result_text(L);
}

int l_GetCurrentDirectory(lua_State* L) {
  char buffer[kLocalTextSize] = {};
  const DWORD count = GetCurrentDirectoryA(kLocalTextSize, buffer);
  push_buffer_text(L, buffer, sizeof buffer);
  lua_pushnumber(L, static_cast<lua_Number>(count));
  return 2;
}

int l_SetCurrentDirectory(lua_State* L) { return push_bool(L, SetCurrentDirectoryA(arg_str(L, 1))); }

int l_GetLastError(lua_State* L) { return push_u32(L, GetLastError()); }

int l_EndDialog(lua_State* L) {
  const HWND dialog = arg_hwnd(L, 1);
  EndDialog(dialog, static_cast<INT_PTR>(arg_int(L, 2)));
  return 0;
}

int l_exepath(lua_State* L) {
  char name[kPathBufferSize] = {};
  GetModuleFileNameA(nullptr, name, kPathBufferSize);
  name[kPathBufferSize - 1] = '\0';
  g_result_text = module_directory(name);
  return push_result_text(L);
}

// --- common dialogs ----------------------------------------------------------

int l_SaveDialog(lua_State* L) { return run_file_dialog(L, GetSaveFileNameA, OFN_OVERWRITEPROMPT); }

int l_OpenDialog(lua_State* L) { return run_file_dialog(L, GetOpenFileNameA, OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST); }

int l_ChooseFont(lua_State* L) {
  LOGFONTA font = {};
  CHOOSEFONTA cf = {};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = g_host.current_window;
  cf.lpLogFont = &font;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS;

  if (lua_gettop(L) == 1) {
    luaL_checktype(L, 1, LUA_TTABLE);
    cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    // The fields land at stack positions 2..8, which is where argument
    // errors point.
    for (const char* field : {"facename", "height", "italic", "underline", "strikeout", "bold", "rgbColors"})
      lua_getfield(L, 1, field);
    size_t len = 0;
    const char* face = arg_str(L, 2, &len);
    std::strncpy(font.lfFaceName, face, std::min(len, sizeof font.lfFaceName - 1));
    font.lfHeight = static_cast<LONG>(static_cast<std::uint32_t>(arg_int(L, 3)));
    font.lfItalic = arg_flag(L, 4) ? TRUE : FALSE;
    font.lfUnderline = arg_flag(L, 5) ? TRUE : FALSE;
    font.lfStrikeOut = arg_flag(L, 6) ? TRUE : FALSE;
    font.lfWeight = arg_flag(L, 7) ? FW_BOLD : 0;
    cf.rgbColors = static_cast<COLORREF>(arg_opt_int(L, 8));
    lua_pop(L, 7);
  }

  if (!ChooseFontA(&cf)) return 0;
  lua_createtable(L, 0, 7);
  push_buffer_text(L, font.lfFaceName, sizeof font.lfFaceName);
  lua_setfield(L, -2, "facename");
  push_u32(L, cf.rgbColors);
  lua_setfield(L, -2, "rgbColors");
  push_i32(L, font.lfHeight);
  lua_setfield(L, -2, "height");
  // A flag that is not set stays absent, so `if font.bold` is the test.
  if (font.lfWeight == FW_BOLD) {
    lua_pushboolean(L, 1);
    lua_setfield(L, -2, "bold");
  }
  if (font.lfItalic) {
    lua_pushboolean(L, 1);
    lua_setfield(L, -2, "italic");
  }
  if (font.lfUnderline) {
    lua_pushboolean(L, 1);
    lua_setfield(L, -2, "underline");
  }
  if (font.lfStrikeOut) {
    lua_pushboolean(L, 1);
    lua_setfield(L, -2, "strikeout");
  }
  return 1;
}

int l_ChooseColor(lua_State* L) {
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = g_host.current_window;
  cc.lpCustColors = custom_colors();
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (lua_gettop(L) == 1) cc.rgbResult = arg_u32(L, 1);
  if (!ChooseColorA(&cc)) return 0;
  return push_u32(L, cc.rgbResult);
}

int l_SHBrowseForFolder(lua_State* L) {
  // The new dialog style hosts COM controls: the thread must be in an
  // apartment. Joining one more than once is harmless.
  static const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  (void)com;

  char display_name[kPathBufferSize] = {};
  char path[kPathBufferSize] = {};
  BROWSEINFOA bi = {};
  bi.hwndOwner = g_host.current_window;
  bi.pszDisplayName = display_name;
  bi.lpszTitle = arg_opt_str(L, 1);
  bi.ulFlags = BIF_NEWDIALOGSTYLE | BIF_EDITBOX;

  PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&bi);
  if (!item) return 0;
  if (!SHGetPathFromIDListA(item, path)) path[0] = '\0';
  CoTaskMemFree(item);
  push_buffer_text(L, path, sizeof path);
  push_buffer_text(L, display_name, sizeof display_name);
  return 2;
}

// --- clipboard -----------------------------------------------------------------

namespace {

// With the UTF-8 code page the text crosses to other programs as Unicode.
// The system would turn CF_TEXT into Unicode (and back) with the code page
// of the user's locale, not the program's, and garble every letter beyond
// ASCII on its way to and from other programs. In the ANSI code page the
// clipboard keeps its plain text form.
bool clipboard_in_unicode() { return GetACP() == CP_UTF8; }

// A movable block holding `text` (up to and with its terminator) in the
// clipboard's form; null when memory ran out.
HGLOBAL clipboard_block(const char* text, UINT format) {
  const int n = static_cast<int>(std::min<std::size_t>(std::strlen(text) + 1, INT_MAX));
  const int units = format == CF_UNICODETEXT ? MultiByteToWideChar(CP_UTF8, 0, text, n, nullptr, 0) : n;
  const std::size_t bytes = format == CF_UNICODETEXT ? units * sizeof(wchar_t) : units;
  HGLOBAL block = units > 0 ? GlobalAlloc(GMEM_MOVEABLE, bytes) : nullptr;
  void* p = block ? GlobalLock(block) : nullptr;
  if (!p) {
    if (block) GlobalFree(block);
    return nullptr;
  }
  if (format == CF_UNICODETEXT) {
    MultiByteToWideChar(CP_UTF8, 0, text, n, static_cast<wchar_t*>(p), units);
    static_cast<wchar_t*>(p)[units - 1] = L'\0';  // a cut text keeps its end
  } else {
    std::memcpy(p, text, bytes);
  }
  GlobalUnlock(block);
  return block;
}

// Protected: (wide text, unit count) -> the text as UTF-8.
int push_utf8_inside(lua_State* L) {
  const auto* text = static_cast<const wchar_t*>(lua_touserdata(L, 1));
  const int units = static_cast<int>(lua_tointeger(L, 2));
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
  luaL_Buffer b;
  char* out = luaL_buffinitsize(L, &b, static_cast<std::size_t>(bytes));
  WideCharToMultiByte(CP_UTF8, 0, text, units, out, bytes, nullptr, nullptr);
  luaL_pushresultsize(&b, static_cast<std::size_t>(bytes));
  return 1;
}

// Pushes the clipboard's text (Unicode as UTF-8, or the plain form), read up
// to its zero or the block's end, or nil. The clipboard is open, and it is
// closed again (its block unlocked) before a memory error of the push is
// raised: the clipboard must never stay open.
int push_clipboard_text(lua_State* L, UINT format) {
  const HANDLE block = GetClipboardData(format);
  const void* text = block ? GlobalLock(block) : nullptr;
  int status = LUA_OK;
  if (!text) {
    lua_pushnil(L);
  } else if (format == CF_UNICODETEXT) {
    const std::size_t room = GlobalSize(block) / sizeof(wchar_t);
    const auto* wide = static_cast<const wchar_t*>(text);
    const int units = static_cast<int>(std::min<std::size_t>(wcsnlen(wide, room), INT_MAX / 4));
    lua_pushcfunction(L, push_utf8_inside);
    lua_pushlightuserdata(L, const_cast<void*>(text));
    lua_pushinteger(L, units);
    status = lua_pcall(L, 2, 1, 0);
  } else {
    // Another program put the block there: its text need not be terminated
    // within the block, so the read stops at the block's end.
    const auto* bytes = static_cast<const char*>(text);
    const std::size_t size = GlobalSize(block);
    const void* zero = std::memchr(bytes, 0, size);
    status = glue::try_push_lstring(L, bytes, zero ? static_cast<const char*>(zero) - bytes : size);
  }
  if (text) GlobalUnlock(block);
  CloseClipboard();
  return status == LUA_OK ? 1 : lua_error(L);
}

}  // namespace

int l_SetClipboardText(lua_State* L) {
  const char* text = arg_str(L, 1);  // cut at the first zero byte
  const HWND owner = arg_hwnd(L, 2);
  const UINT format = clipboard_in_unicode() ? CF_UNICODETEXT : CF_TEXT;
  const HGLOBAL block = clipboard_block(text, format);
  if (!block) return 0;

  OpenClipboard(owner);
  EmptyClipboard();
  const HANDLE owned = SetClipboardData(format, block);
  CloseClipboard();
  if (!owned) {
    GlobalFree(block);
    return 0;
  }
  return push_handle(L, owned);
}

int l_GetClipboardText(lua_State* L) {
  if (clipboard_in_unicode() && IsClipboardFormatAvailable(CF_UNICODETEXT)) {
    if (!OpenClipboard(nullptr)) return 0;
    return push_clipboard_text(L, CF_UNICODETEXT);
  }
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr)) return 0;
  return push_clipboard_text(L, CF_TEXT);
}

// --- directory listing -----------------------------------------------------------

int l_Dir(lua_State* L) {
  const int count = lua_gettop(L);
  if (count > 2) return luaL_error(L, "dir - 0 through 2 args");
  const char* pattern = count >= 1 ? arg_str(L, 1) : "";
  const unsigned mask = count == 2 ? static_cast<unsigned>(arg_rounded_i32(L, 2)) & 0xFFu : kDefaultDirMask;

  __finddata64_t data;
  if (*pattern) {
    close_dir_search();
    g_dir.mask = mask;
    g_dir.handle = _findfirst64(pattern, &data);
    if (g_dir.handle == -1 || !settle_on_accepted(data)) {
      lua_pushliteral(L, "");
      return 1;
    }
  } else {
    if (g_dir.handle == -1) {
      lua_pushliteral(L, "");
      return 1;
    }
    if (_findnext64(g_dir.handle, &data) != 0) {
      close_dir_search();
      lua_pushliteral(L, "");
      return 1;
    }
    if (!settle_on_accepted(data)) {
      lua_pushliteral(L, "");
      return 1;
    }
  }
  push_buffer_text(L, g_dir.name, sizeof g_dir.name);
  return 1;
}
