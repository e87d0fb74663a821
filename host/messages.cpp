// Messages to windows and controls, and the records that messages carry.
#include <windows.h>

#include <commctrl.h>
#include <richedit.h>

#include <cstddef>
#include <cstring>
#include <unordered_map>

#include "args.hpp"
#include "bindings.hpp"
#include "core/text_bounds.hpp"
#include "host_state.hpp"
#include "lua_glue.hpp"

// The records exactly as 64-bit programs see them; the rich-edit ones use
// that header's 4-byte packing.
static_assert(sizeof(NMHDR) == 24, "NMHDR");
static_assert(sizeof(ENLINK) == 52 && offsetof(ENLINK, msg) == 24 && offsetof(ENLINK, wParam) == 28 &&
                  offsetof(ENLINK, lParam) == 36 && offsetof(ENLINK, chrg) == 44,
              "ENLINK");
static_assert(sizeof(TEXTRANGEA) == 16 && offsetof(TEXTRANGEA, lpstrText) == 8, "TEXTRANGEA");
// PARAFORMAT2 extends PARAFORMAT; its own members follow the base's 156 bytes.
static_assert(sizeof(PARAFORMAT) == 156 && offsetof(PARAFORMAT, wAlignment) == 24, "PARAFORMAT");
static_assert(sizeof(PARAFORMAT2) == 188, "PARAFORMAT2");
static_assert(sizeof(CHARFORMATA) == 60 && offsetof(CHARFORMATA, szFaceName) == 26 &&
                  sizeof(CHARFORMATA::szFaceName) == 32,
              "CHARFORMATA");
static_assert(sizeof(SYSTEMTIME) == 16, "SYSTEMTIME");

namespace {

// The shared buffer seen as UTF-16: the rich-edit control is a Unicode
// window and writes text ranges in its own encoding.
constexpr std::size_t kSharedTextUnits = kSharedTextSize / sizeof(WCHAR);

// Most bytes one character of the ANSI code page can take.
int ansi_max_char_size() {
  CPINFO info;
  return GetCPInfo(CP_ACP, &info) ? static_cast<int>(info.MaxCharSize) : 2;
}

// Controls write the answers of these messages into the caller's buffer
// without knowing its size. Returns false when the answer would not fit
// (the message is then not sent); narrows sizes the script named itself.
bool make_text_request_safe(HWND w, UINT msg, WPARAM& wp, char* buf, std::size_t cap) {
  switch (msg) {
    case WM_GETTEXT: wp = static_cast<WPARAM>(clamp_request(wp, cap)); return true;
    case EM_GETLINE: {
      // The line's size travels in the buffer's first word.
      WORD size;
      std::memcpy(&size, buf, sizeof size);
      size = static_cast<WORD>(clamp_request(size, cap - 1));
      std::memcpy(buf, &size, sizeof size);
      return true;
    }
    case LB_GETTEXT: return text_fits(SendMessageA(w, LB_GETTEXTLEN, wp, 0), 1, cap);
    case CB_GETLBTEXT: return text_fits(SendMessageA(w, CB_GETLBTEXTLEN, wp, 0), 1, cap);
    case EM_GETSELTEXT: {
      CHARRANGE r{};
      SendMessageA(w, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
      return text_fits(static_cast<std::int64_t>(r.cpMax) - r.cpMin, ansi_max_char_size(), cap);
    }
    default: return true;
  }
}

// Refusal values of the messages above, as the controls themselves report
// a failure.
LRESULT refused_result(UINT msg) {
  switch (msg) {
    case LB_GETTEXT: return LB_ERR;
    case CB_GETLBTEXT: return CB_ERR;
    default: return 0;
  }
}

// Notification records arrive as addresses; one that is not a userdata (or
// is null) must not be read.
const void* arg_record(lua_State* L, int i) {
  if (!lua_isuserdata(L, i))
    luaL_argerror(L, i, lua_pushfstring(L, "record address expected, got %s", luaL_typename(L, i)));
  const void* p = lua_touserdata(L, i);
  if (!p) luaL_argerror(L, i, "record address is null");
  return p;
}

// Looks up t[name] and leaves it on the stack; returns it as an optional
// integer (absent or not a number: 0).
lua_Integer opt_field(lua_State* L, int t, const char* name) {
  lua_getfield(L, t, name);
  const lua_Integer v = lua_tointegerx(L, -1, nullptr);
  lua_pop(L, 1);
  return v;
}

void set_int_field(lua_State* L, const char* name, lua_Integer v) {
  lua_pushinteger(L, v);
  lua_setfield(L, -2, name);
}

// Pushes t[name] for each name, then reads them as required integers at
// their stack positions, so a missing field is reported at its position.
void required_fields(lua_State* L, int t, const char* const* names, int count, lua_Integer* out) {
  const int base = lua_gettop(L);
  for (int k = 0; k < count; ++k) lua_getfield(L, t, names[k]);
  for (int k = 0; k < count; ++k) out[k] = luaL_checkinteger(L, base + 1 + k);
  lua_pop(L, count);
}

// Message numbers above 0xFFFF are reserved by the system. Wine uses them for
// its own work between windows (0x80000000 destroys the window it reaches,
// others set its position, style or window longs), so a script's number from
// that range is not sent: the answer is 0 with ERROR_INVALID_PARAMETER.
constexpr UINT kLastMessage = 0xFFFF;

// The searches of list and combo boxes start after the item wParam names, -1
// meaning the whole list. Wine reads before its item array for a start below
// -1, far enough to end the process, so such a start searches the whole
// list too.
WPARAM search_start(UINT msg, WPARAM wp) {
  switch (msg) {
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case CB_SELECTSTRING: return static_cast<int>(wp) < -1 ? static_cast<WPARAM>(-1) : wp;
    default: return wp;
  }
}

LRESULT send_message(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg > kLastMessage) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return SendMessageA(w, msg, search_start(msg, wp), lp);
}

}  // namespace

int l_SendMessage(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  const UINT msg = arg_u32(L, 2);
  const WPARAM wp = static_cast<WPARAM>(arg_int(L, 3));
  const LPARAM lp = reinterpret_cast<LPARAM>(arg_handle(L, 4));
  return push_int(L, static_cast<lua_Integer>(send_message(w, msg, wp, lp)));
}

int l_SendMessageInt(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  const UINT msg = arg_u32(L, 2);
  const WPARAM wp = static_cast<WPARAM>(arg_int(L, 3));
  const LPARAM lp = static_cast<LPARAM>(arg_int(L, 4));
  return push_int(L, static_cast<lua_Integer>(send_message(w, msg, wp, lp)));
}

int l_SendMessagePtrInt(lua_State* L) {
  HWND w = arg_hwnd(L, 1);
  const UINT msg = arg_u32(L, 2);
  const WPARAM wp = reinterpret_cast<WPARAM>(arg_handle(L, 3));
  const LPARAM lp = static_cast<LPARAM>(arg_int(L, 4));
  return push_int(L, static_cast<lua_Integer>(send_message(w, msg, wp, lp)));
}

int l_SendMessageString(lua_State* L) {
  char buf[kLocalTextSize] = {};
  size_t len = 0;
  const char* text = arg_opt_str(L, 4, &len);
  copy_cut(buf, sizeof buf, text, len);
  const UINT msg = arg_u32(L, 2);
  WPARAM wp = static_cast<WPARAM>(arg_int(L, 3));
  HWND w = arg_hwnd(L, 1);
  LRESULT r = refused_result(msg);
  if (make_text_request_safe(w, msg, wp, buf, sizeof buf)) r = send_message(w, msg, wp, reinterpret_cast<LPARAM>(buf));
  push_int(L, static_cast<lua_Integer>(r));
  push_buffer_text(L, buf, sizeof buf);
  return 2;
}

int l_NMHDR(lua_State* L) {
  NMHDR h;
  std::memcpy(&h, arg_record(L, 1), sizeof h);
  push_handle(L, h.hwndFrom);
  push_int(L, static_cast<lua_Integer>(h.idFrom));
  // Zero-extended: the constant table lists negative codes the same way.
  push_u32(L, h.code);
  return 3;
}

int l_ENLINK(lua_State* L) {
  const void* p = arg_record(L, 1);
  ENLINK e;
  std::memcpy(&e, p, sizeof e);
  push_handle(L, p);
  push_u32(L, e.msg);
  push_int(L, static_cast<lua_Integer>(e.wParam));
  push_int(L, static_cast<lua_Integer>(e.lParam));
  push_i32(L, e.chrg.cpMin);
  push_i32(L, e.chrg.cpMax);
  return 6;
}

int l_GetSel(lua_State* L) {
  DWORD start = 0, end = 0;
  const LRESULT r =
      SendMessageA(arg_hwnd(L, 1), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  push_i32(L, static_cast<std::int32_t>(start));
  push_i32(L, static_cast<std::int32_t>(end));
  push_i32(L, static_cast<std::int32_t>(r));
  return 3;
}

int l_RichEdit_GetTextRange(lua_State* L) {
  char buf[kLocalTextSize] = {};
  HWND w = arg_hwnd(L, 1);
  const auto first = static_cast<std::int32_t>(arg_opt_int(L, 2));
  const auto last = static_cast<std::int32_t>(arg_opt_int(L, 3));
  const TextRangePlan plan = plan_text_range(first, last, kSharedTextUnits, sizeof buf);
  if (plan.send) {
    auto* wide = reinterpret_cast<WCHAR*>(g_shared_text);
    wide[0] = 0;  // a range the control refuses converts as empty, not as stale text
    TEXTRANGEA range;
    range.chrg.cpMin = plan.cp_min;
    range.chrg.cpMax = plan.cp_max;
    range.lpstrText = g_shared_text;
    SendMessageA(w, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    wide[kSharedTextUnits - 1] = 0;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, buf, plan.convert_bytes, nullptr, nullptr);
  }
  push_buffer_text(L, buf, sizeof buf);
  return 1;
}

int l_MonthCal_GetCurSel(lua_State* L) {
  SYSTEMTIME st{};
  SendMessageA(arg_hwnd(L, 1), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
  lua_createtable(L, 0, 4);
  set_int_field(L, "year", st.wYear);
  set_int_field(L, "month", st.wMonth);
  set_int_field(L, "day", st.wDay);
  set_int_field(L, "wday", wday_from_record(st.wDayOfWeek));
  return 1;
}

int l_MonthCal_SetCurSel(lua_State* L) {
  if (lua_gettop(L) != 2) return 0;
  static const char* const names[] = {"year", "month", "day"};
  lua_Integer v[3];
  required_fields(L, 2, names, 3, v);
  SYSTEMTIME st{};
  st.wYear = glue::low16_unsigned(v[0]);
  st.wMonth = glue::low16_unsigned(v[1]);
  st.wDay = glue::low16_unsigned(v[2]);
  SendMessageA(arg_hwnd(L, 1), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
  return 0;
}

int l_DateTime_GetSystemtime(lua_State* L) {
  SYSTEMTIME st{};
  SendMessageA(arg_hwnd(L, 1), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  lua_createtable(L, 0, 7);
  set_int_field(L, "year", st.wYear);
  set_int_field(L, "month", st.wMonth);
  set_int_field(L, "day", st.wDay);
  set_int_field(L, "hour", st.wHour);
  set_int_field(L, "min", st.wMinute);
  set_int_field(L, "sec", st.wSecond);
  set_int_field(L, "wday", wday_from_record(st.wDayOfWeek));
  return 1;
}

int l_DateTime_SetSystemtime(lua_State* L) {
  if (lua_gettop(L) != 2) return 0;
  static const char* const names[] = {"year", "month", "day", "hour", "min", "sec", "wday"};
  lua_Integer v[7];
  required_fields(L, 2, names, 7, v);
  SYSTEMTIME st{};
  st.wYear = glue::low16_unsigned(v[0]);
  st.wMonth = glue::low16_unsigned(v[1]);
  st.wDay = glue::low16_unsigned(v[2]);
  st.wHour = glue::low16_unsigned(v[3]);
  st.wMinute = glue::low16_unsigned(v[4]);
  st.wSecond = glue::low16_unsigned(v[5]);
  st.wDayOfWeek = wday_to_record(v[6]);
  SendMessageA(arg_hwnd(L, 1), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  return 0;
}

namespace {

// The format records the host handed out, by address and size. LocalFree
// frees only these, and the read-back forms read only a live block at least
// as large as their record, so a stale, foreign or made-up address gets a
// failure instead of a double free, a freed block or an overrun.
std::unordered_map<void*, std::size_t> g_format_blocks;

// A block that cannot be recorded (memory ran out) is freed again: the
// caller sees the null block of a failed allocation.
void* new_format_block(std::size_t size) {
  void* p = LocalAlloc(LMEM_ZEROINIT, size);
  if (p && !glue::without_bad_alloc([&] { g_format_blocks[p] = size; })) {
    LocalFree(p);
    p = nullptr;
  }
  return p;
}

const void* format_block_at(lua_State* L, int index, std::size_t size) {
  if (!lua_islightuserdata(L, index)) return nullptr;
  void* p = lua_touserdata(L, index);
  const auto it = g_format_blocks.find(p);
  return it != g_format_blocks.end() && it->second >= size ? p : nullptr;
}

}  // namespace

int l_PARAFORMAT2(lua_State* L) {
  if (lua_istable(L, 1)) {
    // Every field is read before the block is taken, so a failing lookup
    // (a raising metamethod) cannot leak it.
    const lua_Integer mask = opt_field(L, 1, "dwMask");
    const lua_Integer start = opt_field(L, 1, "dxStartIndent");
    const lua_Integer right = opt_field(L, 1, "dxRightIndent");
    const lua_Integer offset = opt_field(L, 1, "dxOffset");
    const lua_Integer after = opt_field(L, 1, "dySpaceAfter");
    const lua_Integer spacing = opt_field(L, 1, "dyLineSpacing");
    const lua_Integer align = opt_field(L, 1, "wAlignment");
    auto* pf = static_cast<PARAFORMAT2*>(new_format_block(sizeof(PARAFORMAT2)));
    if (pf) {
      pf->cbSize = sizeof(PARAFORMAT2);
      pf->dwMask = static_cast<DWORD>(mask);
      pf->dxStartIndent = static_cast<LONG>(start);
      pf->dxRightIndent = static_cast<LONG>(right);
      pf->dxOffset = static_cast<LONG>(offset);
      pf->dySpaceAfter = static_cast<LONG>(after);
      pf->dyLineSpacing = static_cast<LONG>(spacing);
      pf->wAlignment = glue::low16_unsigned(align);
      // dyLineSpacing in twentieths of a line: 20 single, 40 double.
      pf->bLineSpacingRule = 5;
    }
    lua_settop(L, 0);
    return push_handle(L, pf);
  }
  if (const void* block = format_block_at(L, 1, sizeof(PARAFORMAT2))) {
    PARAFORMAT2 pf;
    std::memcpy(&pf, block, sizeof pf);
    lua_createtable(L, 0, 7);
    set_int_field(L, "dwMask", static_cast<lua_Integer>(pf.dwMask));
    set_int_field(L, "dxStartIndent", pf.dxStartIndent);
    set_int_field(L, "dxRightIndent", pf.dxRightIndent);
    set_int_field(L, "dxOffset", pf.dxOffset);
    set_int_field(L, "dySpaceAfter", pf.dySpaceAfter);
    set_int_field(L, "dyLineSpacing", pf.dyLineSpacing);
    set_int_field(L, "wAlignment", pf.wAlignment);
    return 1;
  }
  return 0;
}

int l_CHARFORMAT(lua_State* L) {
  if (lua_istable(L, 1)) {
    const lua_Integer mask = opt_field(L, 1, "dwMask");
    const lua_Integer effects = opt_field(L, 1, "dwEffects");
    const lua_Integer color = opt_field(L, 1, "crTextColor");
    const lua_Integer height = opt_field(L, 1, "yHeight");
    lua_getfield(L, 1, "szFaceName");  // stays on the stack while it is copied
    size_t face_len = 0;
    const char* face = lua_isstring(L, -1) ? lua_tolstring(L, -1, &face_len) : nullptr;
    auto* cf = static_cast<CHARFORMATA*>(new_format_block(sizeof(CHARFORMATA)));
    if (cf) {
      cf->cbSize = sizeof(CHARFORMATA);
      cf->dwMask = static_cast<DWORD>(mask);
      cf->dwEffects = static_cast<DWORD>(effects);
      cf->crTextColor = static_cast<COLORREF>(color);
      cf->yHeight = static_cast<LONG>(height);
      copy_cut(cf->szFaceName, sizeof cf->szFaceName, face, face_len);
    }
    lua_settop(L, 0);
    return push_handle(L, cf);
  }
  if (const void* block = format_block_at(L, 1, sizeof(CHARFORMATA))) {
    CHARFORMATA cf;
    std::memcpy(&cf, block, sizeof cf);
    lua_createtable(L, 0, 5);
    set_int_field(L, "dwMask", static_cast<lua_Integer>(cf.dwMask));
    set_int_field(L, "dwEffects", static_cast<lua_Integer>(cf.dwEffects));
    push_buffer_text(L, cf.szFaceName, sizeof cf.szFaceName);
    lua_setfield(L, -2, "szFaceName");
    set_int_field(L, "crTextColor", static_cast<lua_Integer>(cf.crTextColor));
    set_int_field(L, "yHeight", cf.yHeight);
    return 1;
  }
  return 0;
}

int l_Int2Ptr(lua_State* L) {
  return push_handle(L, reinterpret_cast<void*>(static_cast<std::intptr_t>(arg_int(L, 1))));
}

int l_Ptr2Int(lua_State* L) {
  return push_int(L, static_cast<lua_Integer>(reinterpret_cast<std::intptr_t>(arg_handle(L, 1))));
}

int l_LocalFree(lua_State* L) {
  void* block = arg_handle(L, 1);
  if (block && !g_format_blocks.erase(block)) {
    // Not a record of ours (or freed already): fail as LocalFree fails, with
    // the handle itself, rather than hand the heap a foreign address.
    SetLastError(ERROR_INVALID_HANDLE);
    return push_handle(L, block);
  }
  return push_handle(L, LocalFree(block));
}
