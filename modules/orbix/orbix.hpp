// orbix: the exported C interface of the module (plain, unmangled names).
// Everything a binding file needs besides its own SDL headers comes from here
// and from handles.hpp / args.hpp.
#pragma once

#include <SDL.h>
#include <lua.hpp>

#if defined(_WIN32)
#define ORBIX_API __declspec(dllexport)
#else
#define ORBIX_API __attribute__((visibility("default")))
#endif

extern "C" {

// The one event record that poll reads into; valid until the next poll.
ORBIX_API extern SDL_Event event;

ORBIX_API int luaopen_orbix(lua_State* L);

// Table building: both store into the table on top of the stack and leave the stack as found.
ORBIX_API void push_integer_to_table(lua_State* L, const char* name, Sint32 value);
ORBIX_API void push_function_to_table(lua_State* L, const char* name, lua_CFunction fn);
// Creates (or reuses) the registry metatable `name`, stores `fn` as its __gc, pops it.
ORBIX_API void new_metatable_with_gc(lua_State* L, const char* name, lua_CFunction fn);

// C-heap allocation that never returns null: prints "bad malloc" and exits instead.
ORBIX_API void* xmalloc(size_t size);

// Handle checkers: the stored pointer (null for an empty handle).
// lua_towindow alone accepts a non-userdata value and answers null for it.
ORBIX_API SDL_Window* lua_towindow(lua_State* L, int index);
ORBIX_API SDL_Renderer* lua_torenderer(lua_State* L, int index);
ORBIX_API SDL_Texture* lua_totexture(lua_State* L, int index);
ORBIX_API SDL_Surface* lua_tosurface(lua_State* L, int index);
ORBIX_API void* lua_tomusic(lua_State* L, int index);
ORBIX_API void* lua_tochunk(lua_State* L, int index);
ORBIX_API void* lua_tofont(lua_State* L, int index);
ORBIX_API void* lua_toframeratemanager(lua_State* L, int index);
ORBIX_API SDL_GameController* lua_togamecontroller(lua_State* L, int index);

// Rect / point tables {x, y, w, h} / {x, y}. get_* return 1 (and leave the
// struct alone) when the value is not a table, 0 after filling it.
ORBIX_API int get_rect(lua_State* L, int index, SDL_Rect* rect);
ORBIX_API SDL_Rect* lua_torect(lua_State* L, int index, SDL_Rect* rect);
ORBIX_API int get_point(lua_State* L, int index, SDL_Point* point);
// Converts the value on top of the stack like a rect entry, pops it.
ORBIX_API int lua_popNumber(lua_State* L);

// Raw pixel access; no locking, no validation of the surface.
ORBIX_API Uint8* GetPixelAddress(SDL_Surface* surface, int x, int y);
ORBIX_API Uint32 GetPixel(SDL_Surface* surface, int x, int y);
ORBIX_API void set_surface_rgba(SDL_Surface* surface, int x, int y, Uint8 r, Uint8 g, Uint8 b, Uint8 a);

}  // extern "C"
