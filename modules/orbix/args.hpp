// The argument readers and result pushers of the binding files: the shared
// ones from the glue library (lua_glue.hpp), plus what only orbix has: the
// number conversions of rect, point and primitive arguments (truncation
// toward zero to 32 bits) and the readers that know SDL's types. A binding
// reads check, narrow, call, push: arguments in the order the module
// documents, then one SDL call, then its results.
#pragma once

#include <climits>

#include "handles.hpp"
#include "lua_glue.hpp"
#include "orbix.hpp"

namespace orbix {

using glue::arg_flag;
using glue::arg_i16;
using glue::arg_i32;
using glue::arg_int;
using glue::arg_opt_int;
using glue::arg_str;
using glue::arg_u32;
using glue::arg_u8;
using glue::low16_signed;
using glue::low16_unsigned;
using glue::low32_signed;
using glue::low32_unsigned;
using glue::low8_unsigned;
using glue::push_bool;
using glue::push_i32;
using glue::push_u32;

// Number to 32-bit integer, truncating toward zero; NaN and anything outside
// the 32-bit range become INT_MIN (the bit pattern the C conversion gives on
// the machines we target, without its undefined behaviour).
inline int trunc32(double d) {
  if (!(d > -2147483649.0 && d < 2147483648.0)) return INT_MIN;
  return static_cast<int>(d);
}

// An integer as trunc32 would make it from its float value: the value itself
// when it fits, INT_MIN when it does not (every integer outside the 32-bit
// range converts to a float outside it too).
inline int clamp32(lua_Integer v) { return v >= INT_MIN && v <= INT_MAX ? static_cast<int>(v) : INT_MIN; }

// Required number (auxiliary library's check) truncated to 32 bits. The
// usual case, an integer (or a float or string with an integral value), is
// read in one conversion; anything else takes the number check, which
// converts it or raises the standard argument error.
inline int arg_trunc32(lua_State* L, int i) {
  int exact = 0;
  lua_Integer v = lua_tointegerx(L, i, &exact);
  return exact ? clamp32(v) : trunc32(luaL_checknumber(L, i));
}

// A rect, point or palette entry: the Lua API's number conversion truncated
// to 32 bits, 0 for a value that is no number. Integers take one conversion.
inline int entry_number(lua_State* L, int i) {
  int exact = 0;
  lua_Integer v = lua_tointegerx(L, i, &exact);
  if (exact) return clamp32(v);
  double d = lua_tonumberx(L, i, &exact);
  return exact ? trunc32(d) : 0;
}

// SDL 2.26 builds surfaces and textures for any 32-bit value whose bit
// fields look like a format (0x1BE8AD73 claims 115 bytes per pixel) and then
// overruns their pixels when converting or blitting. Only the formats SDL
// names are real.
inline bool known_pixel_format(Uint32 format) {
  return SDL_strcmp(SDL_GetPixelFormatName(format), "SDL_PIXELFORMAT_UNKNOWN") != 0;
}

// A surface whose fields the binding reads: an empty handle has none, so it
// is an argument error rather than a null dereference.
inline SDL_Surface* arg_live_surface(lua_State* L, int i) {
  SDL_Surface* s = handle_object<SDL_Surface>(L, i, Kind::Surface);
  if (!s) luaL_argerror(L, i, "surface has been freed");
  return s;
}

}  // namespace orbix
