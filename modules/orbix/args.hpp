// Argument readers and result pushers shared by the binding files, so that a
// binding reads like its row in the reference: check, narrow, call, push.
#pragma once

#include <climits>

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

// Required integer (auxiliary library's check), narrowed.
inline Sint32 arg_i32(lua_State* L, int i) { return low32(luaL_checkinteger(L, i)); }
inline Uint32 arg_u32(lua_State* L, int i) { return low32u(luaL_checkinteger(L, i)); }
inline Uint8 arg_u8(lua_State* L, int i) { return low8(luaL_checkinteger(L, i)); }
inline Sint16 arg_i16(lua_State* L, int i) { return low16(luaL_checkinteger(L, i)); }
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
  SDL_Surface* s = lua_tosurface(L, i);
  if (!s) luaL_argerror(L, i, "surface has been freed");
  return s;
}

}  // namespace orbix
