// Argument readers and result pushers shared by every binding. Each reader is
// named after the letter the binding tables use:
//   H handle   I integer   i optional integer   N rounded number
//   S string   s optional string   B flag
#pragma once

#include <windows.h>

#include <cstdint>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

#include "core/rounding.hpp"

// H: the address held by a light or full userdata; anything else is null.
inline void* arg_handle(lua_State* L, int i) {
  return lua_isuserdata(L, i) ? lua_touserdata(L, i) : nullptr;
}
template <class T>
inline T arg_handle_as(lua_State* L, int i) {
  return reinterpret_cast<T>(arg_handle(L, i));
}
inline HWND arg_hwnd(lua_State* L, int i) { return arg_handle_as<HWND>(L, i); }

// I: required integer (raises the standard argument error).
inline lua_Integer arg_int(lua_State* L, int i) { return luaL_checkinteger(L, i); }
// Low 32 bits of a required integer, for 32-bit Win32 parameters.
inline std::uint32_t arg_u32(lua_State* L, int i) {
  return static_cast<std::uint32_t>(luaL_checkinteger(L, i));
}
inline int arg_i32(lua_State* L, int i) {
  return static_cast<int>(static_cast<std::uint32_t>(luaL_checkinteger(L, i)));
}

// i: optional integer, 0 when absent or not convertible.
inline lua_Integer arg_opt_int(lua_State* L, int i) { return lua_tointegerx(L, i, nullptr); }

// N: required number rounded half to even, then narrowed.
inline std::int32_t arg_rounded_i32(lua_State* L, int i) {
  return number_to_i32(luaL_checknumber(L, i));
}
inline std::int64_t arg_rounded_i64(lua_State* L, int i) {
  return number_to_i64(luaL_checknumber(L, i));
}
inline std::uint64_t arg_rounded_u64(lua_State* L, int i) {
  return number_to_u64(luaL_checknumber(L, i));
}

// S: required string; s: optional string (null when absent or not text).
inline const char* arg_str(lua_State* L, int i, size_t* len = nullptr) {
  return luaL_checklstring(L, i, len);
}
inline const char* arg_opt_str(lua_State* L, int i, size_t* len = nullptr) {
  return lua_tolstring(L, i, len);
}

// B: flag.
inline BOOL arg_flag(lua_State* L, int i) { return lua_toboolean(L, i) ? TRUE : FALSE; }

// Results. A handle is always a light userdata (address 0 on failure).
inline int push_handle(lua_State* L, const void* p) {
  lua_pushlightuserdata(L, const_cast<void*>(p));
  return 1;
}
inline int push_bool(lua_State* L, BOOL b) {
  lua_pushboolean(L, b != 0);
  return 1;
}
inline int push_int(lua_State* L, lua_Integer v) {
  lua_pushinteger(L, v);
  return 1;
}
inline int push_u32(lua_State* L, std::uint32_t v) {
  lua_pushinteger(L, static_cast<lua_Integer>(v));
  return 1;
}
inline int push_i32(lua_State* L, std::int32_t v) {
  lua_pushinteger(L, static_cast<lua_Integer>(v));
  return 1;
}
