// The Lua-side glue that the host and the modules share: integer narrowing,
// argument readers, result pushers and the two ways out of a binding that
// does not succeed (a Lua error, or a failure of the C++ heap turned into
// one). Header-only, built on the Lua API alone: no Win32 and no SDL types,
// which stay in each side's own args.hpp.
//
// Conventions every binding follows:
//  - Readers are named after what they accept: arg_int (required integer),
//    arg_opt_int (integer or 0, never raises), arg_i32 ... arg_u8 (required
//    integer, low bits kept), arg_str / arg_opt_str, arg_flag.
//  - Every pusher returns the number of values it pushed (1), so a binding
//    with one result ends in `return push_x(L, v);` and one with several
//    pushes them and returns their count, as Lua's own libraries do.
//  - Narrowing says its result: low16_signed(v) and low16_unsigned(v) keep
//    the same 16 bits and differ only in how a caller reads them back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>

#include "narrow.hpp"

extern "C" {
#include <lauxlib.h>
#include <lua.h>
}

namespace glue {

// --- readers -----------------------------------------------------------------

// Required integer: luaL_checkinteger's rule (an integer, or a float or a
// string with an integral value). The usual case costs one call into Lua;
// anything else goes to luaL_checkinteger itself for its standard argument
// error.
inline lua_Integer arg_int(lua_State* L, int i) {
  int ok = 0;
  const lua_Integer v = lua_tointegerx(L, i, &ok);
  return ok ? v : luaL_checkinteger(L, i);
}
// Optional integer: 0 when absent or without an integer value; never raises.
inline lua_Integer arg_opt_int(lua_State* L, int i) { return lua_tointegerx(L, i, nullptr); }

// Required integer, its low bits kept for a parameter of that width.
inline std::int32_t arg_i32(lua_State* L, int i) { return low32_signed(arg_int(L, i)); }
inline std::uint32_t arg_u32(lua_State* L, int i) { return low32_unsigned(arg_int(L, i)); }
inline std::int16_t arg_i16(lua_State* L, int i) { return low16_signed(arg_int(L, i)); }
inline std::uint8_t arg_u8(lua_State* L, int i) { return low8_unsigned(arg_int(L, i)); }

// Required string (numbers become their text in place); optional string,
// null when absent or neither a string nor a number.
inline const char* arg_str(lua_State* L, int i, std::size_t* len = nullptr) { return luaL_checklstring(L, i, len); }
inline const char* arg_opt_str(lua_State* L, int i, std::size_t* len = nullptr) { return lua_tolstring(L, i, len); }

// The argument's truth value: false only for nil, false and no value.
inline bool arg_flag(lua_State* L, int i) { return lua_toboolean(L, i) != 0; }

// --- pushers (each returns the number of values it pushed) --------------------

inline int push_bool(lua_State* L, bool b) {
  lua_pushboolean(L, b);
  return 1;
}
inline int push_int(lua_State* L, lua_Integer v) {
  lua_pushinteger(L, v);
  return 1;
}
inline int push_i32(lua_State* L, std::int32_t v) { return push_int(L, v); }
// Unsigned 32-bit results (colours, flags, tick counts) stay non-negative.
inline int push_u32(lua_State* L, std::uint32_t v) { return push_int(L, static_cast<lua_Integer>(v)); }
// An address as a light userdata, null included (never nil).
inline int push_address(lua_State* L, const void* p) {
  lua_pushlightuserdata(L, const_cast<void*>(p));
  return 1;
}
// The text at the front of a fixed buffer of `size` bytes, up to its first
// zero byte, never past the buffer even when nothing terminated it.
inline int push_buffer_text(lua_State* L, const char* buffer, std::size_t size) {
  const void* zero = std::memchr(buffer, 0, size);
  lua_pushlstring(L, buffer, zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - buffer) : size);
  return 1;
}

// --- leaving a binding with an error -------------------------------------------
//
// A Lua error leaves a binding by longjmp: it unwinds no C++ frame and runs
// no destructor. So, in every binding of the host and the modules:
//  1. No C++ object with a destructor (a std::string, a container, a lambda
//     holding one) is alive across a call that may raise: luaL_check*,
//     lua_push*, lua_newuserdata, lua_setfield and every other Lua call that
//     allocates or runs a metamethod. Results are computed into such objects
//     in a helper that returns before the first push, or into static storage.
//  2. A resource taken from the platform (an open clipboard, a locked block, a
//     string a library handed over) is given back before anything may raise,
//     or pushed with try_push_lstring, which lets the caller give it back and
//     then raise.
//  3. No C++ exception unwinds through Lua's C frames: code that may throw
//     std::bad_alloc (the standard containers and strings) runs inside
//     without_bad_alloc, and the binding raises Lua's memory error once the
//     exception is gone and whatever the failed step held is released. The
//     host also registers every binding through catch_bad_alloc, which does
//     the same for anything a binding left unguarded.

// Raises `text` as the error value itself, without the position prefix
// luaL_error adds (for messages whose exact text is the error).
inline int raise_plain(lua_State* L, const char* text) {
  lua_pushstring(L, text);
  return lua_error(L);
}

// Raises the error Lua itself raises when its allocator fails.
inline int raise_memory_error(lua_State* L) {
  lua_pushliteral(L, "not enough memory");
  return lua_error(L);
}

// Runs `work`; false when it threw std::bad_alloc (the exception is gone by
// the time this returns, so the caller may raise).
template <class Work>
bool without_bad_alloc(Work&& work) noexcept {
  try {
    work();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// `binding` with std::bad_alloc turned into Lua's memory error at the
// boundary. A try block holds no destructor, so Lua's own errors still pass
// through it untouched.
template <lua_CFunction binding>
int catch_bad_alloc(lua_State* L) {
  try {
    return binding(L);
  } catch (const std::bad_alloc&) {
  }
  return raise_memory_error(L);
}

namespace detail {
inline int push_lstring_inside(lua_State* L) {
  const auto* text = static_cast<const char*>(lua_touserdata(L, 1));
  lua_pushlstring(L, text, static_cast<std::size_t>(lua_tointeger(L, 2)));
  return 1;
}
}  // namespace detail

// Pushes `len` bytes at `text` as a string, in a protected call: LUA_OK with
// the string pushed, or the error status with the error value pushed. For
// text held in memory that must be given back whatever happens: the caller
// gives it back, then raises the error again with lua_error.
inline int try_push_lstring(lua_State* L, const char* text, std::size_t len) {
  lua_pushcfunction(L, detail::push_lstring_inside);
  lua_pushlightuserdata(L, const_cast<char*>(text));
  lua_pushinteger(L, static_cast<lua_Integer>(len));
  return lua_pcall(L, 2, 1, 0);
}

}  // namespace glue
