// The pixel conversions against SDL's own (SDL_GetRGBA, SDL_MapRGBA) over
// many formats, and the palette memory against palettes that change, come and
// go, and outnumber it.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pixels.hpp"

namespace {

struct Format {
  SDL_PixelFormat* f;
  explicit Format(Uint32 code) : f(SDL_AllocFormat(code)) {}
  ~Format() { SDL_FreeFormat(f); }
};

std::mt19937 rng(20261210);

Uint8 byte() { return static_cast<Uint8>(rng()); }

// A palette of `n` random colours (a few repeated, so ties occur), set the
// way SDL_ttf and SDL_image set theirs: written in place, version untouched.
SDL_Palette* random_palette(int n) {
  SDL_Palette* p = SDL_AllocPalette(n);
  for (int i = 0; i < n; ++i) {
    int from = i > 4 && rng() % 8 == 0 ? static_cast<int>(rng() % i) : -1;
    p->colors[i] = from >= 0 ? p->colors[from] : SDL_Color{byte(), byte(), byte(), byte()};
  }
  return p;
}

void expect_same_as_sdl(const SDL_PixelFormat* f, int samples) {
  const Uint32 mask = f->BitsPerPixel >= 32 ? 0xFFFFFFFFu : (1u << f->BitsPerPixel) - 1;
  for (int i = 0; i < samples; ++i) {
    Uint32 pixel = static_cast<Uint32>(rng()) & mask;
    Uint8 want[4], got[4];
    SDL_GetRGBA(pixel, f, &want[0], &want[1], &want[2], &want[3]);
    orbix::pixel_rgba(pixel, f, got);
    for (int c = 0; c < 4; ++c) ASSERT_EQ(got[c], want[c]) << SDL_GetPixelFormatName(f->format) << " pixel " << pixel;
    Uint8 r = byte(), g = byte(), b = byte(), a = byte();
    ASSERT_EQ(orbix::map_rgba(f, r, g, b, a), SDL_MapRGBA(f, r, g, b, a))
        << SDL_GetPixelFormatName(f->format) << " colour " << int(r) << "," << int(g) << "," << int(b) << "," << int(a);
  }
}

TEST(Pixels, ConversionsMatchSdlForEveryKindOfFormat) {
  const Uint32 codes[] = {
      SDL_PIXELFORMAT_RGBA32,   SDL_PIXELFORMAT_ARGB8888, SDL_PIXELFORMAT_BGRA8888,    SDL_PIXELFORMAT_RGB888,
      SDL_PIXELFORMAT_BGRX8888, SDL_PIXELFORMAT_RGB24,    SDL_PIXELFORMAT_BGR24,       SDL_PIXELFORMAT_RGB565,
      SDL_PIXELFORMAT_ARGB1555, SDL_PIXELFORMAT_RGBA4444, SDL_PIXELFORMAT_ARGB2101010, SDL_PIXELFORMAT_RGB332,
  };
  for (Uint32 code : codes) {
    Format format(code);
    ASSERT_NE(format.f, nullptr) << SDL_GetError();
    expect_same_as_sdl(format.f, 5000);
  }
  for (Uint32 code : {SDL_PIXELFORMAT_INDEX8, SDL_PIXELFORMAT_INDEX4LSB, SDL_PIXELFORMAT_INDEX1MSB}) {
    Format format(code);
    SDL_Palette* p = random_palette(1 << format.f->BitsPerPixel);
    SDL_SetPixelFormatPalette(format.f, p);
    SDL_FreePalette(p);
    expect_same_as_sdl(format.f, 5000);
    // Pixel values past the palette's colours read as transparent black.
    SDL_Palette* small = SDL_AllocPalette(3);
    SDL_SetPixelFormatPalette(format.f, small);
    SDL_FreePalette(small);
    expect_same_as_sdl(format.f, 200);
  }
  orbix::forget_palettes();
}

TEST(Pixels, PaletteAnswersFollowColourChanges) {
  Format format(SDL_PIXELFORMAT_INDEX8);
  SDL_Palette* p = random_palette(256);
  SDL_SetPixelFormatPalette(format.f, p);
  std::vector<SDL_Color> asked(64);
  for (SDL_Color& c : asked) c = {byte(), byte(), byte(), byte()};
  for (int round = 0; round < 6; ++round) {
    for (int pass = 0; pass < 3; ++pass)  // later passes are answered from memory
      for (const SDL_Color& c : asked)
        ASSERT_EQ(orbix::map_rgba(format.f, c.r, c.g, c.b, c.a), SDL_MapRGBA(format.f, c.r, c.g, c.b, c.a))
            << "round " << round;
    // New colours through SDL (the palette's version changes); the asked
    // colours become exact matches of other entries.
    std::vector<SDL_Color> fresh(256);
    for (SDL_Color& c : fresh) c = {byte(), byte(), byte(), byte()};
    for (int i = 0; i < 8; ++i) fresh[rng() % 256] = asked[rng() % asked.size()];
    SDL_SetPaletteColors(p, fresh.data(), 0, 256);
  }
  SDL_FreePalette(p);
  orbix::forget_palettes();
}

TEST(Pixels, PalettesThatComeAndGoAreNeverConfused) {
  // Each palette is freed after use; the next is made the same size, so the
  // allocator tends to hand out the same address with the same version.
  // Colours are asked again across palettes, so a stale answer would show.
  std::vector<SDL_Color> asked(32);
  for (SDL_Color& c : asked) c = {byte(), byte(), byte(), 255};
  for (int round = 0; round < 40; ++round) {
    Format format(SDL_PIXELFORMAT_INDEX8);
    SDL_Palette* p = random_palette(256);
    SDL_SetPixelFormatPalette(format.f, p);
    SDL_FreePalette(p);
    for (const SDL_Color& c : asked)
      ASSERT_EQ(orbix::map_rgba(format.f, c.r, c.g, c.b, c.a), SDL_MapRGBA(format.f, c.r, c.g, c.b, c.a))
          << "round " << round;
  }
  orbix::forget_palettes();
}

TEST(Pixels, MorePalettesThanRememberedStayCorrect) {
  std::vector<Format*> formats;
  for (int i = 0; i < 7; ++i) {
    formats.push_back(new Format(SDL_PIXELFORMAT_INDEX8));
    SDL_Palette* p = random_palette(256);
    SDL_SetPixelFormatPalette(formats.back()->f, p);
    SDL_FreePalette(p);
  }
  for (int i = 0; i < 3000; ++i) {
    const SDL_PixelFormat* f = formats[rng() % formats.size()]->f;
    Uint8 r = byte() & 0xF0, g = byte() & 0xF0, b = byte() & 0xF0;  // repeats
    ASSERT_EQ(orbix::map_rgba(f, r, g, b, 255), SDL_MapRGBA(f, r, g, b, 255)) << i;
  }
  for (Format* f : formats) delete f;
  orbix::forget_palettes();
}

TEST(Pixels, RememberedPalettesAreHeldAndReleased) {
  Format format(SDL_PIXELFORMAT_INDEX8);
  SDL_Palette* p = random_palette(256);
  SDL_SetPixelFormatPalette(format.f, p);  // the format's reference and ours
  ASSERT_EQ(p->refcount, 2);
  orbix::map_rgba(format.f, 1, 2, 3, 4);
  EXPECT_EQ(p->refcount, 3) << "a remembered palette holds a reference";
  orbix::map_rgba(format.f, 5, 6, 7, 8);
  EXPECT_EQ(p->refcount, 3) << "one reference per palette";
  orbix::forget_palettes();
  EXPECT_EQ(p->refcount, 2);
  SDL_FreePalette(p);
}

}  // namespace
