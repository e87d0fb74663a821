// Single pixels of a surface: where a pixel lies, its raw value, and the
// conversions between values and colours. The conversions give exactly what
// SDL_GetRGBA and SDL_MapRGBA give; the per-pixel bindings run once per pixel
// of an image, so the common formats are converted here without a call into
// SDL, and a palette's nearest-colour search is remembered (pixels.cpp).
#pragma once

#include <cstring>

#include "orbix.hpp"

namespace orbix {

// Outside the surface a coordinate falls back to 0 on its own axis.
inline Uint8* pixel_address(SDL_Surface* surface, int x, int y) {
  if (x < 0 || x >= surface->w) x = 0;
  if (y < 0 || y >= surface->h) y = 0;
  return static_cast<Uint8*>(surface->pixels) + static_cast<ptrdiff_t>(y) * surface->pitch +
         static_cast<ptrdiff_t>(x) * surface->format->BytesPerPixel;
}

// The raw value of the pixel at `p`: 1 to 4 bytes in native order (the 3-byte
// layout little-endian), 0 for any other size.
inline Uint32 read_pixel(const Uint8* p, int bytes_per_pixel) {
  switch (bytes_per_pixel) {
    case 1: return *p;
    case 2: {
      Uint16 v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
    case 3: return p[0] | (Uint32{p[1]} << 8) | (Uint32{p[2]} << 16);
    case 4: {
      Uint32 v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
    default: return 0;
  }
}

// Stores `value` with the layout read_pixel reads; nothing for other sizes.
inline void write_pixel(Uint8* p, int bytes_per_pixel, Uint32 value) {
  switch (bytes_per_pixel) {
    case 1: *p = static_cast<Uint8>(value); break;
    case 2: {
      Uint16 v = static_cast<Uint16>(value);
      std::memcpy(p, &v, sizeof v);
      break;
    }
    case 3: {
      Uint16 low = static_cast<Uint16>(value);
      std::memcpy(p, &low, sizeof low);
      p[2] = static_cast<Uint8>(value >> 16);
      break;
    }
    case 4: std::memcpy(p, &value, sizeof value); break;
    default: break;
  }
}

// SDL_GetRGBA. Palette entries and formats whose channels are whole bytes
// (no channel loses bits; a format without alpha reads alpha 255) are read
// here; the rest (565, 2101010, ...) go through SDL's expansion tables.
inline void pixel_rgba(Uint32 pixel, const SDL_PixelFormat* f, Uint8 rgba[4]) {
  if (const SDL_Palette* palette = f->palette) {
    if (pixel < static_cast<Uint32>(palette->ncolors)) {
      const SDL_Color& c = palette->colors[pixel];
      rgba[0] = c.r, rgba[1] = c.g, rgba[2] = c.b, rgba[3] = c.a;
    } else {
      rgba[0] = rgba[1] = rgba[2] = rgba[3] = 0;
    }
  } else if ((f->Rloss | f->Gloss | f->Bloss) == 0 && (f->Aloss == 0 || f->Amask == 0)) {
    rgba[0] = static_cast<Uint8>((pixel & f->Rmask) >> f->Rshift);
    rgba[1] = static_cast<Uint8>((pixel & f->Gmask) >> f->Gshift);
    rgba[2] = static_cast<Uint8>((pixel & f->Bmask) >> f->Bshift);
    rgba[3] = f->Amask ? static_cast<Uint8>((pixel & f->Amask) >> f->Ashift) : 255;
  } else {
    SDL_GetRGBA(pixel, f, &rgba[0], &rgba[1], &rgba[2], &rgba[3]);
  }
}

// SDL_MapRGBA for a format with a palette: SDL's nearest-colour search,
// remembered per palette and colour (pixels.cpp).
Uint32 palette_pixel(const SDL_PixelFormat* f, Uint8 r, Uint8 g, Uint8 b, Uint8 a);

// SDL_MapRGBA (the same formula for formats without a palette). A channel
// wider than 8 bits (2101010) has a "loss" that wrapped below 0, which SDL
// shifts by as it stands; that is left to SDL.
inline Uint32 map_rgba(const SDL_PixelFormat* f, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
  if (f->palette) return palette_pixel(f, r, g, b, a);
  if (f->Rloss > 8 || f->Gloss > 8 || f->Bloss > 8 || f->Aloss > 8) return SDL_MapRGBA(f, r, g, b, a);
  return (Uint32{r} >> f->Rloss) << f->Rshift | (Uint32{g} >> f->Gloss) << f->Gshift |
         (Uint32{b} >> f->Bloss) << f->Bshift | ((Uint32{a} >> f->Aloss) << f->Ashift & f->Amask);
}

// Stores the colour at pixel (x, y), mapped to the surface's format.
inline void store_rgba(SDL_Surface* surface, int x, int y, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
  Uint32 value = map_rgba(surface->format, r, g, b, a);
  write_pixel(pixel_address(surface, x, y), surface->format->BytesPerPixel, value);
}

// Drops every palette the nearest-colour memory holds (a Lua state that
// opened the module is closing).
void forget_palettes();

}  // namespace orbix
