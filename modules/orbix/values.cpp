// Table-building helpers, xmalloc and the readers of rect, point and color
// tables shared by every binding file.
#include <cstdio>
#include <cstdlib>

#include "args.hpp"
#include "orbix.hpp"
#include "values.hpp"

extern "C" {

void push_integer_to_table(lua_State* L, const char* name, Sint32 value) {
  lua_pushinteger(L, value);
  lua_setfield(L, -2, name);
}

void push_function_to_table(lua_State* L, const char* name, lua_CFunction fn) {
  lua_pushcclosure(L, fn, 0);
  lua_setfield(L, -2, name);
}

void new_metatable_with_gc(lua_State* L, const char* name, lua_CFunction fn) {
  // luaL_newmetatable leaves an existing table alone, so handles made by an
  // earlier opening of the module keep working.
  luaL_newmetatable(L, name);
  lua_pushcfunction(L, fn);
  lua_setfield(L, -2, "__gc");
  lua_pop(L, 1);
}

void* xmalloc(size_t size) {
  void* p = malloc(size);
  if (!p) {
    fputs("bad malloc\n", stderr);
    exit(-1);
  }
  return p;
}

int lua_popNumber(lua_State* L) {
  int v = orbix::entry_number(L, -1);
  lua_pop(L, 1);
  return v;
}

int get_rect(lua_State* L, int index, SDL_Rect* rect) {
  if (!lua_istable(L, index)) return 1;
  index = lua_absindex(L, index);
  // All four entries are fetched (in order: their metamethods run as they
  // would one by one) before any is converted, which has no side effects.
  for (int i = 1; i <= 4; ++i) lua_geti(L, index, i);
  rect->x = orbix::entry_number(L, -4);
  rect->y = orbix::entry_number(L, -3);
  rect->w = orbix::entry_number(L, -2);
  rect->h = orbix::entry_number(L, -1);
  lua_pop(L, 4);
  return 0;
}

SDL_Rect* lua_torect(lua_State* L, int index, SDL_Rect* rect) { return get_rect(L, index, rect) == 0 ? rect : nullptr; }

int get_point(lua_State* L, int index, SDL_Point* point) {
  if (!lua_istable(L, index)) return 1;
  index = lua_absindex(L, index);
  lua_geti(L, index, 1);
  point->x = lua_popNumber(L);
  lua_geti(L, index, 2);
  point->y = lua_popNumber(L);
  return 0;
}

}  // extern "C"

namespace orbix {

SDL_Color get_color(lua_State* L, int index) {
  index = lua_absindex(L, index);
  Uint8 c[4];
  for (int i = 0; i < 4; ++i) {
    lua_geti(L, index, i + 1);
    c[i] = low8_unsigned(lua_tointegerx(L, -1, nullptr));
    lua_pop(L, 1);
  }
  return SDL_Color{c[0], c[1], c[2], c[3]};
}

}  // namespace orbix
