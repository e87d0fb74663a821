// Argument readers and result pushers shared by the binding files, so that a
// binding reads like its row in the reference: check, narrow, call, push.
#pragma once

#include <climits>

#include "handles.hpp"
#include "orbix.hpp"

namespace orbix {

// Low-bit narrowing of a Lua integer to an SDL parameter's width.
inline Sint32 low32(lua_Integer v) { return static_cast<Sint32>(static_cast<Uint32>(v)); }
inline Uint32 low32u(lua_Integer v) { return static_cast<Uint32>(v); }
inline Sint16 low16(lua_Integer v) { return static_cast<Sint16>(static_cast<Uint16>(v)); }
inline Uint8 low8(lua_Integer v) { return static_cast<Uint8>(v); }

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

// Required integer: luaL_checkinteger, whose conversion is made here so that
// the usual case costs one call into Lua; anything without an integer value
// goes to luaL_checkinteger itself for its standard argument error.
inline lua_Integer arg_integer(lua_State* L, int i) {
  int ok = 0;
  lua_Integer v = lua_tointegerx(L, i, &ok);
  return ok ? v : luaL_checkinteger(L, i);
}

// Required integer, narrowed.
inline Sint32 arg_i32(lua_State* L, int i) { return low32(arg_integer(L, i)); }
inline Uint32 arg_u32(lua_State* L, int i) { return low32u(arg_integer(L, i)); }
inline Uint8 arg_u8(lua_State* L, int i) { return low8(arg_integer(L, i)); }
inline Sint16 arg_i16(lua_State* L, int i) { return low16(arg_integer(L, i)); }
// Loose integer: never raises, 0 for anything without an integer value.
inline lua_Integer arg_loose(lua_State* L, int i) { return lua_tointegerx(L, i, nullptr); }
// Flag: the argument's truth value.
inline bool arg_flag(lua_State* L, int i) { return lua_toboolean(L, i) != 0; }

// SDL 2.26 builds surfaces and textures for any 32-bit value whose bit
// fields look like a format (0x1BE8AD73 claims 115 bytes per pixel) and then
// overruns their pixels when converting or blitting. Only the formats SDL
// names are real.
inline bool known_pixel_format(Uint32 format) {
  return SDL_strcmp(SDL_GetPixelFormatName(format), "SDL_PIXELFORMAT_UNKNOWN") != 0;
}

inline void push_i32(lua_State* L, Sint32 v) { lua_pushinteger(L, v); }
inline void push_u32(lua_State* L, Uint32 v) { lua_pushinteger(L, static_cast<lua_Integer>(v)); }

// A surface whose fields the binding reads: an empty handle has none, so it
// is an argument error rather than a null dereference.
inline SDL_Surface* arg_live_surface(lua_State* L, int i) {
  SDL_Surface* s = handle_object<SDL_Surface>(L, i, Kind::Surface);
  if (!s) luaL_argerror(L, i, "surface has been freed");
  return s;
}

}  // namespace orbix
