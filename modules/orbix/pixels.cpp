// The nearest-colour memory of palette surfaces (see pixels.hpp).
//
// SDL maps a colour to a palette index by searching the whole palette for
// the nearest entry: up to 256 distance computations for every pixel that
// set_surface_rgba writes. A script writes the same few colours again and
// again, so the answers are remembered per palette and colour. Each answer is
// SDL's own (SDL_MapRGBA computes it on a miss), and it stays valid exactly
// as long as the palette's colours do:
//   - a palette's colours change only through SDL_SetPaletteColors, which
//     bumps its version; an answer is kept with the version it was found for;
//   - a remembered palette holds one reference of ours, so it cannot be freed
//     and another palette made at its address while its answers are kept.
#include <atomic>

#include "pixels.hpp"

namespace orbix {
namespace {

constexpr int kSlotBits = 12;  // answers remembered per palette
constexpr int kPalettes = 4;   // palettes remembered at once
constexpr Uint16 kLastGeneration = 0xFFFF;

struct Slot {
  Uint32 colour;      // r, g, b, a in bytes 0 to 3
  Uint16 generation;  // the memo's generation it was found in; 0: empty
  Uint16 index;
};

struct PaletteMemo {
  SDL_Palette* palette = nullptr;  // holds one reference while set
  Uint32 version = 0;              // the palette's version the slots belong to
  Uint16 generation = 0;           // slots of other generations are stale
  Slot slots[1 << kSlotBits];
};

PaletteMemo g_memos[kPalettes];
int g_next_victim = 0;
// The memory is shared by every Lua state of the process; states on
// different threads take turns.
std::atomic_flag g_busy = ATOMIC_FLAG_INIT;

struct Hold {
  Hold() {
    while (g_busy.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~Hold() { g_busy.clear(std::memory_order_release); }
};

// Starts a new generation, so every slot found so far reads as empty.
void new_generation(PaletteMemo& m) {
  if (m.generation == kLastGeneration) {
    for (Slot& s : m.slots) s.generation = 0;
    m.generation = 0;
  }
  ++m.generation;
}

void release_palette(PaletteMemo& m) {
  if (m.palette) SDL_FreePalette(m.palette);  // drops our reference
  m.palette = nullptr;
}

PaletteMemo& memo_for(SDL_Palette* palette) {
  for (PaletteMemo& m : g_memos) {
    if (m.palette != palette) continue;
    if (m.version != palette->version) {
      m.version = palette->version;
      new_generation(m);
    }
    return m;
  }
  PaletteMemo& m = g_memos[g_next_victim];
  g_next_victim = (g_next_victim + 1) % kPalettes;
  release_palette(m);
  m.palette = palette;
  ++palette->refcount;
  m.version = palette->version;
  new_generation(m);
  return m;
}

}  // namespace

Uint32 palette_pixel(const SDL_PixelFormat* f, Uint8 r, Uint8 g, Uint8 b, Uint8 a) {
  const Uint32 colour = Uint32{r} | Uint32{g} << 8 | Uint32{b} << 16 | Uint32{a} << 24;
  Hold hold;
  PaletteMemo& m = memo_for(f->palette);
  Slot& s = m.slots[(colour * 2654435761u) >> (32 - kSlotBits)];
  if (s.generation == m.generation && s.colour == colour) return s.index;
  const Uint32 index = SDL_MapRGBA(f, r, g, b, a);
  if (index <= 0xFFFF) s = Slot{colour, m.generation, static_cast<Uint16>(index)};
  return index;
}

void forget_palettes() {
  Hold hold;
  for (PaletteMemo& m : g_memos) release_palette(m);
}

}  // namespace orbix
