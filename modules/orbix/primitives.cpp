// Drawing primitives over SDL2_gfx. Numbers are checked from the last
// argument down to 2, then the renderer; each is truncated to 32 bits and
// narrowed to the parameter: coordinates keep their low 16 bits (signed),
// colour components and the line width their low 8 bits.
#include <SDL2_gfxPrimitives.h>

#include "args.hpp"
#include "bindings.hpp"
#include "handles.hpp"

using namespace orbix;

namespace {

inline Sint16 S(int v) { return low16_signed(v); }
inline Uint8 C(int v) { return low8_unsigned(v); }

// `Values` numeric arguments (positions 2 .. Values + 1), then the renderer.
template <int Values, typename Draw>
int draw(lua_State* L, Draw draw_call) {
  int v[Values];
  for (int i = Values + 1; i >= 2; --i) v[i - 2] = arg_trunc32(L, i);
  SDL_Renderer* renderer = handle_object<SDL_Renderer>(L, 1, Kind::Renderer);
  return push_i32(L, draw_call(renderer, v));
}

}  // namespace

int l_pixelRGBA(lua_State* L) {
  return draw<6>(L, [](SDL_Renderer* r, const int* v) {
    return pixelRGBA(r, S(v[0]), S(v[1]), C(v[2]), C(v[3]), C(v[4]), C(v[5]));
  });
}

int l_hlineRGBA(lua_State* L) {
  return draw<7>(L, [](SDL_Renderer* r, const int* v) {
    return hlineRGBA(r, S(v[0]), S(v[1]), S(v[2]), C(v[3]), C(v[4]), C(v[5]), C(v[6]));
  });
}

int l_vlineRGBA(lua_State* L) {
  return draw<7>(L, [](SDL_Renderer* r, const int* v) {
    return vlineRGBA(r, S(v[0]), S(v[1]), S(v[2]), C(v[3]), C(v[4]), C(v[5]), C(v[6]));
  });
}

#define ORBIX_FOUR_COORDS(field, gfx)                                                        \
  int l_##field(lua_State* L) {                                                              \
    return draw<8>(L, [](SDL_Renderer* r, const int* v) {                                    \
      return gfx(r, S(v[0]), S(v[1]), S(v[2]), S(v[3]), C(v[4]), C(v[5]), C(v[6]), C(v[7])); \
    });                                                                                      \
  }

ORBIX_FOUR_COORDS(rectangleRGBA, rectangleRGBA)
ORBIX_FOUR_COORDS(boxRGBA, boxRGBA)
ORBIX_FOUR_COORDS(lineRGBA, lineRGBA)
ORBIX_FOUR_COORDS(aalineRGBA, aalineRGBA)
ORBIX_FOUR_COORDS(ellipseRGBA, ellipseRGBA)
ORBIX_FOUR_COORDS(aaellipseRGBA, aaellipseRGBA)
ORBIX_FOUR_COORDS(filledellipseRGBA, filledEllipseRGBA)

#define ORBIX_ROUNDED(field)                                                                            \
  int l_##field(lua_State* L) {                                                                         \
    return draw<9>(L, [](SDL_Renderer* r, const int* v) {                                               \
      return field(r, S(v[0]), S(v[1]), S(v[2]), S(v[3]), S(v[4]), C(v[5]), C(v[6]), C(v[7]), C(v[8])); \
    });                                                                                                 \
  }

ORBIX_ROUNDED(roundedRectangleRGBA)
ORBIX_ROUNDED(roundedBoxRGBA)

int l_thickLineRGBA(lua_State* L) {
  return draw<9>(L, [](SDL_Renderer* r, const int* v) {
    return thickLineRGBA(r, S(v[0]), S(v[1]), S(v[2]), S(v[3]), C(v[4]), C(v[5]), C(v[6]), C(v[7]), C(v[8]));
  });
}

int l_aacircleRGBA(lua_State* L) {
  return draw<7>(L, [](SDL_Renderer* r, const int* v) {
    return aacircleRGBA(r, S(v[0]), S(v[1]), S(v[2]), C(v[3]), C(v[4]), C(v[5]), C(v[6]));
  });
}

int l_filledcircleRGBA(lua_State* L) {
  return draw<7>(L, [](SDL_Renderer* r, const int* v) {
    return filledCircleRGBA(r, S(v[0]), S(v[1]), S(v[2]), C(v[3]), C(v[4]), C(v[5]), C(v[6]));
  });
}

// The one primitive whose numbers must be integers (10.0 is, 10.5 is not).
int l_circleRGBA(lua_State* L) {
  Uint8 a = arg_u8(L, 8);
  Uint8 b = arg_u8(L, 7);
  Uint8 g = arg_u8(L, 6);
  Uint8 red = arg_u8(L, 5);
  Sint16 rad = arg_i16(L, 4);
  Sint16 y = arg_i16(L, 3);
  Sint16 x = arg_i16(L, 2);
  return push_i32(L, circleRGBA(lua_torenderer(L, 1), x, y, rad, red, g, b, a));
}

int l_stringRGBA(lua_State* L) {
  int a = arg_trunc32(L, 8);
  int b = arg_trunc32(L, 7);
  int g = arg_trunc32(L, 6);
  int r = arg_trunc32(L, 5);
  const char* text = arg_str(L, 4);
  int y = arg_trunc32(L, 3);
  int x = arg_trunc32(L, 2);
  SDL_Renderer* renderer = lua_torenderer(L, 1);
  // SDL2_gfx keeps one glyph cache, filled by whichever renderer drew text
  // first; hand it to this renderer so the text is drawn here too.
  gfx_font_cache_use(renderer);
  return push_i32(L, stringRGBA(renderer, S(x), S(y), text, C(r), C(g), C(b), C(a)));
}
