// Surfaces and pixels: image files, creation, blits, fills, colour keys,
// single pixels, palettes, blend modes, zoom, and the window surface.
#include <SDL2_rotozoom.h>
#include <SDL_image.h>

#include <algorithm>
#include <cmath>

#include "args.hpp"
#include "bindings.hpp"
#include "core/guards.hpp"
#include "handles.hpp"
#include "pixels.hpp"
#include "values.hpp"

using namespace orbix;

// --- raw pixel access (exported) --------------------------------------------

extern "C" {

Uint8* GetPixelAddress(SDL_Surface* surface, int x, int y) { return pixel_address(surface, x, y); }

Uint32 GetPixel(SDL_Surface* surface, int x, int y) {
  return read_pixel(pixel_address(surface, x, y), surface->format->BytesPerPixel);
}

void set_surface_rgba(SDL_Surface* surface, int x, int y, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
  store_rgba(surface, x, y, r, g, b, a);
}

}  // extern "C"

// --- image files --------------------------------------------------------------

int l_IMG_Init(lua_State* L) { return push_i32(L, IMG_Init(arg_i32(L, 1))); }

int l_IMG_Quit(lua_State*) {
  IMG_Quit();
  return 0;
}

int l_IMG_Load(lua_State* L) {
  const char* file = arg_str(L, 1);
  new_handle(L);
  SDL_Surface* surface = IMG_Load(file);
  if (!surface) return 0;
  fill_owned(L, -1, Kind::Surface, surface);
  return 1;
}

// SDL_image writes every palette surface as one byte per pixel, reading
// width bytes from each row: a 1- or 4-bit surface's rows are shorter, so it
// would read past the pixels. Such surfaces are widened to one index a byte
// with the same palette first. The indices are unpacked here rather than
// converted by SDL, which maps colours (a palette with repeated colours would
// lose indices) and refuses an all-white palette.
static SDL_Surface* byte_palette_copy(SDL_Surface* surface) {
  const SDL_PixelFormat* from = surface->format;
  SDL_Surface* copy = SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 8, SDL_PIXELFORMAT_INDEX8);
  if (!copy) return nullptr;
  SDL_SetPaletteColors(copy->format->palette, from->palette->colors, 0,
                       std::min(from->palette->ncolors, copy->format->palette->ncolors));
  const bool msb_first = SDL_PIXELORDER(from->format) != SDL_BITMAPORDER_4321;
  for (int y = 0; y < surface->h; ++y) {
    const Uint8* src = static_cast<const Uint8*>(surface->pixels) + static_cast<ptrdiff_t>(y) * surface->pitch;
    Uint8* dst = static_cast<Uint8*>(copy->pixels) + static_cast<ptrdiff_t>(y) * copy->pitch;
    guards::widen_palette_row(src, dst, surface->w, from->BitsPerPixel, msb_first);  // 1 or 4 bits
  }
  return copy;
}

int l_IMG_SavePNG(lua_State* L) {
  const char* file = arg_str(L, 2);
  SDL_Surface* surface = lua_tosurface(L, 1);
  // SDL_image reads the surface without checking it: refuse the empty handle
  // here, the way SDL's own calls do.
  if (!surface) {
    return push_i32(L, SDL_InvalidParamError("surface"));
  }
  const int bits = surface->format->BitsPerPixel;
  if (!surface->format->palette || bits >= 8) {
    return push_i32(L, IMG_SavePNG(surface, file));
  }
  if (bits != 1 && bits != 4) {
    return push_i32(L, SDL_SetError("IMG_SavePNG: %d-bit palette surfaces are not supported", bits));
  }
  SDL_Surface* copy = byte_palette_copy(surface);
  push_i32(L, copy ? IMG_SavePNG(copy, file) : -1);
  SDL_FreeSurface(copy);
  return 1;
}

// --- creation, blits, fills ---------------------------------------------------

int l_CreateRGBSurface(lua_State* L) {
  Uint32 amask = arg_u32(L, 8);
  Uint32 bmask = arg_u32(L, 7);
  Uint32 gmask = arg_u32(L, 6);
  Uint32 rmask = arg_u32(L, 5);
  int depth = arg_i32(L, 4);
  int h = arg_i32(L, 3);
  int w = arg_i32(L, 2);
  Uint32 flags = low32_unsigned(arg_opt_int(L, 1));
  new_handle(L);
  fill_owned(L, -1, Kind::Surface, SDL_CreateRGBSurface(flags, w, h, depth, rmask, gmask, bmask, amask));
  return 1;
}

int l_CreateRGBSurfaceWithFormat(lua_State* L) {
  Uint32 format = arg_u32(L, 5);
  int depth = arg_i32(L, 4);
  int h = arg_i32(L, 3);
  int w = arg_i32(L, 2);
  Uint32 flags = low32_unsigned(arg_opt_int(L, 1));
  new_handle(L);
  if (!known_pixel_format(format)) {
    SDL_SetError("Unknown pixel format");
    return empty_handle(L, Kind::Surface);
  }
  fill_owned(L, -1, Kind::Surface, SDL_CreateRGBSurfaceWithFormat(flags, w, h, depth, format));
  return 1;
}

// SDL clips surface rectangles with int sums such as x + w - clip.w, which
// wrap for rectangles near the ends of the int range: a blit then copied from
// far outside the source, and a fill wrote far outside the surface.
static SDL_Rect* limit_surface_rect(SDL_Rect* r) {
  if (r) guards::limit_surface_rect(r->x, r->y, r->w, r->h);
  return r;
}

int l_BlitSurface(lua_State* L) {
  // SDL_UpperBlit clips the destination rectangle in place; it gets a copy,
  // never anything the script can see.
  // Both rectangles are read before either surface: a rectangle's
  // metamethods may free a surface.
  SDL_Rect src, dst;
  SDL_Rect* d = limit_surface_rect(lua_torect(L, 4, &dst));
  const SDL_Rect* s = limit_surface_rect(lua_torect(L, 2, &src));
  SDL_Surface* to = lua_tosurface(L, 3);
  SDL_Surface* from = lua_tosurface(L, 1);
  return push_i32(L, SDL_UpperBlit(from, s, to, d));
}

int l_surface_fill_rect(lua_State* L) {
  arg_live_surface(L, 1);  // argument errors in their usual order
  Uint8 a = arg_u8(L, 6);
  Uint8 b = arg_u8(L, 5);
  Uint8 g = arg_u8(L, 4);
  Uint8 r = arg_u8(L, 3);
  SDL_Rect rect;
  const SDL_Rect* area = limit_surface_rect(lua_torect(L, 2, &rect));
  // Fetched again: the rectangle's metamethods may have freed the surface.
  SDL_Surface* surface = arg_live_surface(L, 1);
  return push_i32(L, SDL_FillRect(surface, area, SDL_MapRGBA(surface->format, r, g, b, a)));
}

int l_SetColorKey(lua_State* L) {
  Uint32 key = arg_u32(L, 3);
  int enable = arg_flag(L, 2) ? SDL_TRUE : SDL_FALSE;
  return push_i32(L, SDL_SetColorKey(lua_tosurface(L, 1), enable, key));
}

int l_MapRGB(lua_State* L) {
  SDL_Surface* surface = arg_live_surface(L, 1);
  Uint8 b = arg_u8(L, 4);
  Uint8 g = arg_u8(L, 3);
  Uint8 r = arg_u8(L, 2);
  return push_u32(L, SDL_MapRGB(surface->format, r, g, b));
}

int l_getSurfaceWidthHeight(lua_State* L) {
  SDL_Surface* surface = arg_live_surface(L, 1);
  push_i32(L, surface->w);
  push_i32(L, surface->h);
  return 2;
}

// --- single pixels --------------------------------------------------------------

// A surface with a zero width or height has no pixel buffer at all, so not
// even the fallback pixel (0, 0) exists.
static SDL_Surface* arg_surface_with_pixels(lua_State* L, int i) {
  SDL_Surface* surface = arg_live_surface(L, i);
  if (surface->w <= 0 || surface->h <= 0) luaL_argerror(L, i, "surface has no pixels");
  return surface;
}

extern "C" int lua_get_surface_rgba(lua_State* L) {
  SDL_Surface* surface = arg_surface_with_pixels(L, 1);
  int x = arg_i32(L, 2);
  int y = arg_i32(L, 3);
  bool locked = SDL_MUSTLOCK(surface);
  if (locked) SDL_LockSurface(surface);
  Uint32 pixel = read_pixel(pixel_address(surface, x, y), surface->format->BytesPerPixel);
  if (locked) SDL_UnlockSurface(surface);
  // Asked first: SDL_GetColorKey records an error text for a surface without
  // a key, and a pixel read that succeeds must not replace the script's last
  // error (nor pay for formatting one).
  Uint8 rgba[4] = {0, 0, 0, 0};
  Uint32 key;
  if (!(SDL_HasColorKey(surface) && SDL_GetColorKey(surface, &key) == 0 && key == pixel))
    pixel_rgba(pixel, surface->format, rgba);
  for (Uint8 c : rgba) push_i32(L, c);
  return 4;
}

extern "C" int lua_set_surface_rgba(lua_State* L) {
  SDL_Surface* surface = arg_surface_with_pixels(L, 1);
  bool locked = SDL_MUSTLOCK(surface);
  if (locked) SDL_LockSurface(surface);
  Uint8 a = low8_unsigned(arg_opt_int(L, 7));
  Uint8 b = low8_unsigned(arg_opt_int(L, 6));
  Uint8 g = low8_unsigned(arg_opt_int(L, 5));
  Uint8 r = low8_unsigned(arg_opt_int(L, 4));
  int y = low32_signed(arg_opt_int(L, 3));
  int x = low32_signed(arg_opt_int(L, 2));
  store_rgba(surface, x, y, r, g, b, a);  // the exported set_surface_rgba
  if (locked) SDL_UnlockSurface(surface);
  return 0;
}

// --- palettes -------------------------------------------------------------------

int l_getColors(lua_State* L) {
  SDL_Surface* surface = arg_live_surface(L, 1);
  const SDL_Palette* palette = surface->format->palette;
  // A format without a palette has no colours: an empty table. The colours
  // are copied first: building the tables can run finalizers, which may free
  // the surface.
  SDL_Color colors[guards::kMaxPaletteColors];
  int n = palette ? SDL_min(palette->ncolors, guards::kMaxPaletteColors) : 0;
  if (n > 0) SDL_memcpy(colors, palette->colors, n * sizeof(SDL_Color));
  lua_createtable(L, n, 0);
  for (int i = 0; i < n; ++i) {
    const SDL_Color& c = colors[i];
    lua_createtable(L, 4, 0);
    const int v[4] = {c.r, c.g, c.b, c.a};
    for (int k = 0; k < 4; ++k) {
      lua_pushinteger(L, v[k]);
      lua_rawseti(L, -2, k + 1);
    }
    lua_rawseti(L, -2, i + 1);
  }
  return 1;
}

int l_setColors(lua_State* L) {
  arg_live_surface(L, 1);  // argument errors in their usual order
  if (!lua_istable(L, 2)) return luaL_error(L, "argument 2 must be table.");
  lua_len(L, 2);
  int n = lua_popNumber(L);
  // No palette holds more than 256 colours and SDL takes at most as many as
  // the palette has, so the table is read in full (its indexing errors are
  // the script's) but only that many colours are kept.
  const int kMaxColors = guards::kMaxPaletteColors;
  SDL_Color colors[kMaxColors];
  for (int i = 1; i <= n; ++i) {
    lua_geti(L, 2, i);
    SDL_Color c;
    Uint8* parts[4] = {&c.r, &c.g, &c.b, &c.a};
    for (int k = 0; k < 4; ++k) {
      lua_geti(L, -1, k + 1);
      *parts[k] = low8_unsigned(lua_popNumber(L));
    }
    lua_pop(L, 1);
    if (i <= kMaxColors) colors[i - 1] = c;
  }
  // Fetched only now: the table's metamethods may have freed the surface.
  SDL_Surface* surface = arg_live_surface(L, 1);
  if (n > 0) SDL_SetPaletteColors(surface->format->palette, colors, 0, n < kMaxColors ? n : kMaxColors);
  return 0;
}

// --- blend modes, zoom ----------------------------------------------------------

extern "C" int lua_SDL_SetSurfaceBlendMode(lua_State* L) {
  SDL_BlendMode mode = static_cast<SDL_BlendMode>(arg_i32(L, 2));
  return push_i32(L, SDL_SetSurfaceBlendMode(lua_tosurface(L, 1), mode));
}

extern "C" int lua_SDL_GetSurfaceBlendMode(lua_State* L) {
  SDL_BlendMode mode = SDL_BLENDMODE_INVALID;  // reported when SDL fails
  int status = SDL_GetSurfaceBlendMode(lua_tosurface(L, 1), &mode);
  push_u32(L, static_cast<Uint32>(mode));
  push_i32(L, status);
  return 2;
}

extern "C" int lua_zoomSurface(lua_State* L) {
  int smooth = arg_flag(L, 4) ? SMOOTHING_ON : SMOOTHING_OFF;
  double zy = luaL_checknumber(L, 3);
  double zx = luaL_checknumber(L, 2);
  SDL_Surface* source = lua_tosurface(L, 1);
  new_handle(L);
  if (emptied_meanwhile(L, 1, source)) return empty_handle(L, Kind::Surface);
  // SDL2_gfx dereferences its source without a null check, and reads a pixel
  // of it even when the source has none (zero width or height).
  if (source && (source->w <= 0 || source->h <= 0)) {
    SDL_SetError("zoomSurface: the surface has no pixels");
    return 0;
  }
  // Every format but 8-bit goes through SDL2_gfx's 32-bit zoom, whose 16.16
  // source positions overflow past 32767 pixels: it then reads far outside
  // the pixels.
  if (source && !guards::zoom_source_fits(source->w, source->h, source->format->BitsPerPixel)) {
    SDL_SetError("zoomSurface: the surface is wider or taller than %d pixels", guards::kMaxZoomSource);
    return 0;
  }
  SDL_Surface* zoomed = nullptr;
  if (source && source->format->BitsPerPixel == 8 && (zx < 0 || zy < 0)) {
    // SDL2_gfx's 8-bit path reads outside the source when it mirrors: zoom
    // by the sizes alone, then mirror the result here.
    zoomed = zoomSurface(source, std::fabs(zx), std::fabs(zy), smooth);
    if (zoomed)
      guards::mirror_bytes(static_cast<Uint8*>(zoomed->pixels), zoomed->w, zoomed->h, zoomed->pitch, zx < 0, zy < 0);
  } else if (source) {
    zoomed = zoomSurface(source, zx, zy, smooth);
  }
  if (!zoomed) return 0;
  fill_owned(L, -1, Kind::Surface, zoomed);
  return 1;
}

// --- window surface -------------------------------------------------------------

int l_GetWindowSurface(lua_State* L) {
  SDL_Window* window = lua_towindow(L, 1);
  new_handle(L);
  if (emptied_meanwhile(L, 1, window)) return empty_handle(L, Kind::Surface);
  fill_window_surface(L, -1, SDL_GetWindowSurface(window), window);
  return 1;
}

int l_UpdateWindowSurface(lua_State* L) { return push_i32(L, SDL_UpdateWindowSurface(lua_towindow(L, 1))); }
