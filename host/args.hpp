// The host's argument readers and result pushers: the shared ones from the
// glue library, plus what only the host has: handles as Win32 types and
// numbers rounded the host's way. Each kind of argument has one reader:
//   handle           arg_handle, arg_hwnd, arg_handle_as<T>   (never raises)
//   integer          arg_int; arg_i32 / arg_u32 keep its low 32 bits
//   optional integer arg_opt_int (0 when absent; never raises)
//   rounded number   arg_rounded_i32 / _i64 / _u64
//   string           arg_str; optional string arg_opt_str (never raises)
//   flag             arg_flag (never raises)
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/rounding.hpp"
#include "lua_glue.hpp"

using glue::arg_flag;
using glue::arg_i32;
using glue::arg_int;
using glue::arg_opt_int;
using glue::arg_opt_str;
using glue::arg_str;
using glue::arg_u32;
using glue::push_bool;
using glue::push_buffer_text;
using glue::push_i32;
using glue::push_int;
using glue::push_u32;

// The address held by a light or full userdata; anything else is null.
inline void* arg_handle(lua_State* L, int i) { return lua_isuserdata(L, i) ? lua_touserdata(L, i) : nullptr; }
template <class T>
inline T arg_handle_as(lua_State* L, int i) {
  return reinterpret_cast<T>(arg_handle(L, i));
}
inline HWND arg_hwnd(lua_State* L, int i) { return arg_handle_as<HWND>(L, i); }

// Required number rounded half to even, then narrowed.
inline std::int32_t arg_rounded_i32(lua_State* L, int i) { return number_to_i32(luaL_checknumber(L, i)); }
inline std::int64_t arg_rounded_i64(lua_State* L, int i) { return number_to_i64(luaL_checknumber(L, i)); }
inline std::uint64_t arg_rounded_u64(lua_State* L, int i) { return number_to_u64(luaL_checknumber(L, i)); }

// A handle result is always a light userdata, address 0 on failure.
inline int push_handle(lua_State* L, const void* p) { return glue::push_address(L, p); }
