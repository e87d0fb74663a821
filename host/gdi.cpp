// GDI painting, fonts, colours, images and the flat GDI+ interface.
#include <climits>
#include <string>
#include <unordered_set>

#include "args.hpp"
#include "bindings.hpp"
#include "core/gdi_range.hpp"
#include "core/wide_path.hpp"
#include "lua_glue.hpp"

// The flat GDI+ entry points, declared here as the C interface they are: the
// SDK's own header drags in its C++ wrapper classes, which the bindings do not
// use.
extern "C" {
struct GpImage;
struct GpBitmap;
struct GpGraphics;
typedef int GpStatus;
typedef void(WINAPI* GdiplusDebugProc)(int level, char* message);
struct GdiplusStartupInput {
  UINT32 GdiplusVersion;
  GdiplusDebugProc DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;
};
GpStatus WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
GpStatus WINAPI GdipLoadImageFromFile(const WCHAR* file, GpImage** image);
GpStatus WINAPI GdipCreateBitmapFromFile(const WCHAR* file, GpBitmap** bitmap);
GpStatus WINAPI GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* result, DWORD background);
GpStatus WINAPI GdipCreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus WINAPI GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
GpStatus WINAPI GdipDeleteGraphics(GpGraphics* graphics);
GpStatus WINAPI GdipDisposeImage(GpImage* image);
GpStatus WINAPI GdipGetImageType(GpImage* image, int* type);
}

static_assert(sizeof(GdiplusStartupInput) == 24, "GdiplusStartupInput as the SDK lays it out");
static_assert(sizeof(WCHAR) == sizeof(wchar_t), "wide file names are passed through unchanged");

namespace {

// One paint record for the whole program: a script paints one window at a time.
PAINTSTRUCT g_paint;
// The token of the running GDI+ session.
ULONG_PTR g_gdiplus_token;
// Sessions started and not yet shut down; a token overwritten by a second
// start keeps its session (and the objects made in it) alive for good.
int g_gdiplus_sessions;

// The flat interface takes its objects as raw C++ object addresses and calls
// through them: a brush, a freed image or a graphics where an image belongs
// would crash inside GDI+. So the bindings hand out and accept only the
// objects they made themselves, each of its own kind, until it is released.
std::unordered_set<const void*> g_gdip_images;    // images and bitmaps
std::unordered_set<const void*> g_gdip_graphics;  // graphics objects
constexpr int kImageTypeBitmap = 1;

template <class T>
T* live_gdip(std::unordered_set<const void*>& kind, void* p) {
  return kind.count(p) ? static_cast<T*>(p) : nullptr;
}

// Records a new GDI+ object of a kind; one that cannot be recorded (memory
// ran out) is given back, and the caller sees the null of a failed call.
template <class T, class Release>
T* note_gdip(std::unordered_set<const void*>& kind, T* object, Release release) {
  if (object && !glue::without_bad_alloc([&] { kind.insert(object); })) {
    release(object);
    object = nullptr;
  }
  return object;
}

HDC arg_dc(lua_State* L, int i) { return arg_handle_as<HDC>(L, i); }

RECT arg_rect(lua_State* L, int first) {
  RECT r;
  r.left = arg_i32(L, first);
  r.top = arg_i32(L, first + 1);
  r.right = arg_i32(L, first + 2);
  r.bottom = arg_i32(L, first + 3);
  return r;
}

// DrawTextA with DT_MODIFYSTRING writes the shortened text (up to four bytes
// longer) back into its argument, and Lua strings are immutable and exactly
// sized; the call therefore always gets a private copy with room to spare.
// Kept out of the binding's frame: nothing here raises a Lua error.
int draw_text_copy(HDC dc, const char* text, size_t len, RECT* rect, UINT format) {
  // DrawText uses the device context's font metrics without checking that
  // it got any: given a handle that is not a device context, Wine divides
  // by an unset tab width and ends the process. Such a handle draws nothing.
  TEXTMETRICA metrics;
  if (!GetTextMetricsA(dc, &metrics)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  std::string copy(text, len);
  copy.append(8, '\0');
  return DrawTextA(dc, &copy[0], -1, rect, format);
}

// The process code page's conversion, strict: the same characters the
// system's ANSI functions (CreateFileA, io.open) read from these bytes, so a
// name reaches GDI+ as the file every other function names, in the ANSI code
// page and in UTF-8 alike.
bool from_process_code_page(const char* bytes, std::size_t n, std::wstring& wide) {
  if (n > static_cast<std::size_t>(INT_MAX)) return false;
  const int len = static_cast<int>(n);
  const int count = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, len, nullptr, 0);
  if (count <= 0) return false;
  wide.assign(static_cast<std::size_t>(count), L'\0');
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes, len, &wide[0], count) == count;
}

// Runs one GDI+ call that takes a file name; the widened name lives only for
// the call. An empty name becomes a null pointer, which GDI+ rejects.
template <class Call>
void with_wide_name(const char* name, Call call) {
  std::wstring wide;
  const bool has_name = widen_path(name, wide, from_process_code_page);
  call(has_name ? wide.c_str() : nullptr);
}

}  // namespace

// ---------------------------------------------------------------- paint cycle

int l_BeginPaint(lua_State* L) { return push_handle(L, BeginPaint(arg_hwnd(L, 1), &g_paint)); }

int l_EndPaint(lua_State* L) { return push_bool(L, EndPaint(arg_hwnd(L, 1), &g_paint)); }

// ------------------------------------------------------------ lines and shapes

int l_MoveToEx(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  const int x = arg_i32(L, 2), y = arg_i32(L, 3);
  POINT old = {0, 0};
  push_bool(L, MoveToEx(dc, x, y, &old));
  push_i32(L, old.x);
  push_i32(L, old.y);
  return 3;
}

int l_LineTo(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  const int x = arg_i32(L, 2), y = arg_i32(L, 3);
  return push_bool(L, LineTo(dc, x, y));
}

int l_Rectangle(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  const RECT r = arg_rect(L, 2);
  return push_bool(L, Rectangle(dc, r.left, r.top, r.right, r.bottom));
}

int l_FillRect(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  const RECT r = arg_rect(L, 2);
  HBRUSH brush = arg_handle_as<HBRUSH>(L, 6);
  return push_bool(L, FillRect(dc, &r, brush) != 0);
}

// Curves beyond GDI's coordinate range fail as Windows fails them, without
// reaching a rasteriser that would walk their whole outline.
static int refuse_shape(lua_State* L) {
  SetLastError(ERROR_INVALID_PARAMETER);
  return push_bool(L, FALSE);
}

int l_RoundRect(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  const RECT r = arg_rect(L, 2);
  const int cw = arg_i32(L, 6), ch = arg_i32(L, 7);
  const int c[] = {
      static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom), cw, ch};
  if (!shape_fits_gdi(c, 6)) return refuse_shape(L);
  return push_bool(L, RoundRect(dc, r.left, r.top, r.right, r.bottom, cw, ch));
}

int l_Ellipse(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  const RECT r = arg_rect(L, 2);
  const int c[] = {static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                   static_cast<int>(r.bottom)};
  if (!shape_fits_gdi(c, 4)) return refuse_shape(L);
  return push_bool(L, Ellipse(dc, r.left, r.top, r.right, r.bottom));
}

int l_Arc(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  int c[8];
  for (int i = 0; i < 8; ++i) c[i] = arg_i32(L, 2 + i);
  if (!shape_fits_gdi(c, 8)) return refuse_shape(L);
  return push_bool(L, Arc(dc, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]));
}

// ------------------------------------------------------------- pens, brushes

int l_CreatePen(lua_State* L) {
  const int style = arg_i32(L, 1), width = arg_i32(L, 2);
  const COLORREF colour = arg_u32(L, 3);
  return push_handle(L, CreatePen(style, width, colour));
}

int l_CreateSolidBrush(lua_State* L) { return push_handle(L, CreateSolidBrush(arg_u32(L, 1))); }

int l_GetSysColorBrush(lua_State* L) { return push_handle(L, GetSysColorBrush(arg_i32(L, 1))); }

int l_SelectObject(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  return push_handle(L, SelectObject(dc, arg_handle_as<HGDIOBJ>(L, 2)));
}

int l_DeleteObject(lua_State* L) { return push_bool(L, DeleteObject(arg_handle_as<HGDIOBJ>(L, 1))); }

// --------------------------------------------------------------------- text

int l_SetBkMode(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  return push_i32(L, SetBkMode(dc, arg_i32(L, 2)));
}

int l_DrawText(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  size_t len = 0;
  const char* text = arg_str(L, 2, &len);
  RECT r = arg_rect(L, 3);
  const UINT format = arg_u32(L, 7);
  return push_i32(L, draw_text_copy(dc, text, len, &r, format));
}

int l_SetTextColor(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  return push_u32(L, SetTextColor(dc, arg_u32(L, 2)));
}

int l_SetBkColor(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  return push_u32(L, SetBkColor(dc, arg_u32(L, 2)));
}

int l_CreateFont(lua_State* L) {
  if (lua_gettop(L) != 1 || !lua_istable(L, 1)) return 0;
  lua_getfield(L, 1, "facename");   // 2
  lua_getfield(L, 1, "height");     // 3
  lua_getfield(L, 1, "italic");     // 4
  lua_getfield(L, 1, "underline");  // 5
  lua_getfield(L, 1, "strikeout");  // 6
  lua_getfield(L, 1, "bold");       // 7
  const char* face = arg_str(L, 2);
  const int height = arg_i32(L, 3);
  const DWORD italic = arg_flag(L, 4), underline = arg_flag(L, 5), strikeout = arg_flag(L, 6);
  const int weight = arg_flag(L, 7) ? FW_BOLD : FW_DONTCARE;
  HFONT font = CreateFontA(height, 0, 0, 0, weight, italic, underline, strikeout, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
  lua_pop(L, 6);
  return push_handle(L, font);
}

// ------------------------------------------------------------ pixels, colours

int l_SetPixel(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  const int x = arg_i32(L, 2), y = arg_i32(L, 3);
  return push_u32(L, SetPixel(dc, x, y, arg_u32(L, 4)));
}

int l_GetPixel(lua_State* L) {
  HDC dc = arg_dc(L, 1);
  const int x = arg_i32(L, 2), y = arg_i32(L, 3);
  return push_u32(L, GetPixel(dc, x, y));
}

int l_GetSysColor(lua_State* L) { return push_u32(L, GetSysColor(arg_i32(L, 1))); }

int l_RGB(lua_State* L) {
  const lua_Integer r = arg_int(L, 1), g = arg_int(L, 2), b = arg_int(L, 3);
  return push_u32(L, static_cast<std::uint32_t>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16));
}

int l_GetRGB(lua_State* L) {
  const std::uint32_t c = arg_u32(L, 1);
  push_u32(L, c & 0xFF);
  push_u32(L, c >> 8 & 0xFF);
  push_u32(L, c >> 16 & 0xFF);
  return 3;
}

// ------------------------------------------------------------------- images

int l_LoadImage(lua_State* L) {
  HINSTANCE instance = arg_handle_as<HINSTANCE>(L, 1);
  const char* name = arg_opt_str(L, 2);
  const UINT type = arg_u32(L, 3);
  const int width = arg_i32(L, 4), height = arg_i32(L, 5);
  const UINT flags = arg_u32(L, 6);
  // The loader reads a module's headers at the instance address: anything
  // but a loaded module fails as a missing module would.
  HMODULE module = nullptr;
  if (instance &&
      !(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(instance), &module) &&
        module == instance)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return push_handle(L, nullptr);
  }
  return push_handle(L, LoadImageA(instance, name, type, width, height, flags));
}

// Only a bitmap has a size: GetObjectA would fill the record from a brush's
// or pen's own (smaller) record as well, giving a colour as a width.
int l_GetSizeImage(lua_State* L) {
  HGDIOBJ object = arg_handle_as<HGDIOBJ>(L, 1);
  BITMAP bm = {};
  if (GetObjectType(object) == OBJ_BITMAP) GetObjectA(object, sizeof bm, &bm);
  push_i32(L, bm.bmWidth);
  push_i32(L, bm.bmHeight);
  return 2;
}

// -------------------------------------------------------------------- GDI+

int l_GdiplusStartup(lua_State*) {
  GdiplusStartupInput input = {1, nullptr, FALSE, FALSE};
  if (GdiplusStartup(&g_gdiplus_token, &input, nullptr) == 0) ++g_gdiplus_sessions;
  return 0;
}

// A token is shut down once: a second shutdown (or one without a start)
// would end a session that is no longer there.
int l_GdiplusShutdown(lua_State*) {
  if (!g_gdiplus_token) return 0;
  GdiplusShutdown(g_gdiplus_token);
  g_gdiplus_token = 0;
  if (--g_gdiplus_sessions <= 0) {
    // GDI+ has stopped: what it made is unusable from now on.
    g_gdiplus_sessions = 0;
    g_gdip_images.clear();
    g_gdip_graphics.clear();
  }
  return 0;
}

int l_GdipLoadImageFromFile(lua_State* L) {
  const char* name = arg_str(L, 1);
  GpImage* image = nullptr;
  with_wide_name(name, [&](const WCHAR* wide) { GdipLoadImageFromFile(wide, &image); });
  return push_handle(L, note_gdip(g_gdip_images, image, GdipDisposeImage));
}

int l_GdipCreateBitmapFromFile(lua_State* L) {
  const char* name = arg_str(L, 1);
  GpBitmap* bitmap = nullptr;
  with_wide_name(name, [&](const WCHAR* wide) { GdipCreateBitmapFromFile(wide, &bitmap); });
  auto dispose = [](GpBitmap* b) { GdipDisposeImage(reinterpret_cast<GpImage*>(b)); };
  return push_handle(L, note_gdip(g_gdip_images, bitmap, dispose));
}

int l_GdipCreateHBITMAPFromBitmap(lua_State* L) {
  GpImage* image = live_gdip<GpImage>(g_gdip_images, arg_handle(L, 1));
  const DWORD background = arg_u32(L, 2);
  HBITMAP result = nullptr;
  // Only a bitmap converts: an image loaded from a metafile is not one.
  int type = 0;
  if (image && GdipGetImageType(image, &type) == 0 && type == kImageTypeBitmap)
    GdipCreateHBITMAPFromBitmap(reinterpret_cast<GpBitmap*>(image), &result, background);
  return push_handle(L, result);
}

int l_GdipCreateFromHDC(lua_State* L) {
  GpGraphics* graphics = nullptr;
  GdipCreateFromHDC(arg_dc(L, 1), &graphics);
  return push_handle(L, note_gdip(g_gdip_graphics, graphics, GdipDeleteGraphics));
}

int l_GdipDrawImageI(lua_State* L) {
  GpGraphics* graphics = live_gdip<GpGraphics>(g_gdip_graphics, arg_handle(L, 1));
  GpImage* image = live_gdip<GpImage>(g_gdip_images, arg_handle(L, 2));
  const int x = arg_i32(L, 3), y = arg_i32(L, 4);
  if (graphics && image) GdipDrawImageI(graphics, image, x, y);
  return 0;
}

int l_GdipDeleteGraphics(lua_State* L) {
  void* p = arg_handle(L, 1);
  if (GpGraphics* graphics = live_gdip<GpGraphics>(g_gdip_graphics, p)) {
    g_gdip_graphics.erase(p);
    GdipDeleteGraphics(graphics);
  }
  return 0;
}

int l_GdipDisposeImage(lua_State* L) {
  void* p = arg_handle(L, 1);
  if (GpImage* image = live_gdip<GpImage>(g_gdip_images, p)) {
    g_gdip_images.erase(p);
    GdipDisposeImage(image);
  }
  return 0;
}
