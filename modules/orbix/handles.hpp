// Handle userdata and the ownership side table.
//
// A handle's block is exactly one pointer: the SDL object, or null once the
// handle is empty. Everything else the module needs to know to release
// objects soundly lives in a side table keyed by the object pointer:
//   - which handle blocks refer to the object, and whether each one owns it;
//   - which object it depends on (texture -> renderer, renderer -> window or
//     window surface, window surface -> window);
//   - which objects depend on it.
// Destroying an object first destroys (or forgets) its dependants and empties
// every handle that refers to any of them, so a later explicit release or
// collection of those handles finds null and touches nothing.
#pragma once

#include <atomic>

#include "orbix.hpp"

namespace orbix {

// The nine handle types, in the order luaopen_orbix creates their metatables
// (handles.cpp keeps one row per kind: metatable name and release routine).
enum class Kind : unsigned char {
  Window,
  Renderer,
  Music,
  Chunk,
  Texture,
  Surface,
  Font,
  FrameRateManager,
  GameController,
};

constexpr int kKindCount = 9;

// "orbix_window", ... the registry name of a kind's metatable.
const char* meta_name(Kind kind);

// Creates (or reuses) the nine metatables, each with its release routine as
// __gc, and remembers them for the fast checks below.
void create_metatables(lua_State* L);

// --- checking handles --------------------------------------------------------
// luaL_checkudata looks the type's metatable up by name in the registry on
// every call, which costs more than many bindings' own work. The metatables
// this module made in each live Lua state are remembered by address (up to
// kKnownStates states at a time; a state beyond them is checked by name
// only), so a handle is recognised by comparing its metatable's address.
// Anything not recognised that way goes to luaL_checkudata, which accepts it
// or raises exactly as it always did: the fast path only ever accepts what
// luaL_checkudata would accept. README-internal.md explains why an address
// cannot go stale.
constexpr int kKnownStates = 4;
extern std::atomic<const void*> g_known_metatables[kKindCount][kKnownStates];

// Remembers this state's nine metatables (luaopen_orbix calls it once they
// exist; a second opening in the same state replaces the first's entries).
void note_metatables(lua_State* L);

// The block of the handle of `kind` at `index`, or null when the value is not
// recognised by its metatable's address.
inline void** known_handle_block(lua_State* L, int index, Kind kind) {
  void* block = lua_touserdata(L, index);
  if (!block || !lua_getmetatable(L, index)) return nullptr;
  const void* meta = lua_topointer(L, -1);
  lua_pop(L, 1);
  for (const auto& known : g_known_metatables[static_cast<int>(kind)])
    if (known.load(std::memory_order_relaxed) == meta) return static_cast<void**>(block);
  return nullptr;
}

// The block of the handle of `kind` at `index`; the standard argument error
// (luaL_checkudata's) for anything else.
inline void** handle_block(lua_State* L, int index, Kind kind) {
  if (void** block = known_handle_block(L, index, kind)) return block;
  return static_cast<void**>(luaL_checkudata(L, index, meta_name(kind)));
}

// The object a handle of `kind` holds (null for an empty handle).
template <typename T = void>
inline T* handle_object(lua_State* L, int index, Kind kind) {
  return static_cast<T*>(*handle_block(L, index, kind));
}

// --- making handles ------------------------------------------------------------
// A handle is made the way Lua's io library opens a file: the empty handle
// first, then the SDL object, then the handle is filled.
//   1. new_handle pushes the block. Its allocation may raise a memory error
//      or run finalizers; no SDL object exists yet that either could strand.
//   2. The binding reads the objects of its handle arguments again: a
//      finalizer that ran in step 1 may have released one (a collected
//      window takes its renderers along). When one that held an object is
//      empty now, the call answers with an empty handle (emptied_meanwhile,
//      empty_handle): what it would make depends on an object that is gone.
//   3. The binding makes the SDL object; nothing between this and step 4
//      allocates from Lua, so no finalizer runs in between.
//   4. A fill_* function records the object in the side table, stores it in
//      the block and gives the block its metatable. Should recording run out
//      of memory, it releases the object and raises Lua's memory error.
// A block that is never filled has no metatable and so no finalizer: a
// creator that answers "no value" simply leaves it to the collector.
// A null object fills an empty handle and records nothing.

// Pushes an empty block for a new handle.
void new_handle(lua_State* L);
// True when the handle argument at `index` held `before` (non-null) when the
// binding first read it and is empty now.
bool emptied_meanwhile(lua_State* L, int index, const void* before);
// Finishes the new handle on top of the stack as an empty handle of `kind`;
// returns 1 (the handle is the binding's one result).
int empty_handle(lua_State* L, Kind kind);

// The fill functions take the stack index of the block new_handle pushed.
// A new object the handle owns outright (plain surfaces, music, chunks,
// fonts, frame-rate managers). Game controllers are reference-counted by SDL:
// each handle from SDL_GameControllerOpen owns one reference.
void fill_owned(lua_State* L, int index, Kind kind, void* object);
// A window and the renderer drawing into it (destroyed with or before the
// window), made together: both are recorded before either handle is filled,
// so running out of memory in between releases both.
void fill_window_and_renderer(lua_State* L, int window_index, SDL_Window* window, int renderer_index,
                              SDL_Renderer* renderer);
// A software renderer drawing into `target`. The renderer keeps the surface
// alive (SDL's surface reference count) or, for a window's own surface, is
// destroyed when that surface goes away.
void fill_software_renderer(lua_State* L, int index, SDL_Renderer* renderer, SDL_Surface* target);
// A new texture of `renderer`, owned by the handle.
void fill_texture(lua_State* L, int index, SDL_Texture* texture, SDL_Renderer* renderer);
// Another handle for a texture that already has an owner (GetRenderTarget):
// releasing it only empties it.
void fill_texture_alias(lua_State* L, int index, SDL_Texture* texture, SDL_Renderer* renderer);
// The window's own surface: SDL frees it, never a handle.
void fill_window_surface(lua_State* L, int index, SDL_Surface* surface, SDL_Window* window);

// --- lifetime events the bindings report ---------------------------------
// Empties every handle and destroys every object that SDL_Quit would free or
// leave dangling (renderers and their textures, windows and their surfaces,
// game controllers). Call right before SDL_Quit.
void before_sdl_quit();
// SDL2_gfx caches glyph textures for one renderer; call before stringRGBA so
// the cache always belongs to the renderer that draws.
void gfx_font_cache_use(SDL_Renderer* renderer);

// Releases every live object of `kind` and empties all its handles (the
// audio bindings free the remaining music before SDL_mixer unloads codecs).
// Not for game controllers, whose handles each hold one SDL reference.
void release_all(Kind kind);

// The music last started with Mix_PlayMusic. Releasing it halts it first:
// SDL_mixer would otherwise wait for a fade-out to end, which never comes
// while the music is paused (or takes weeks for a long fade).
void note_playing_music(void* music);
// The first live object of `kind` that the module tracks and `match`
// accepts, or null: a binding can tell a pointer it handed out from a foreign
// or stale one. Allocates nothing.
void* find_live(Kind kind, bool (*match)(void* object, const void* context), const void* context);

// The release routines of the three types without an explicit release
// function. The other six are the module functions themselves (declared in
// bindings.hpp): l_DestroyWindow, l_DestroyRenderer, l_DestroyTexture,
// l_FreeSurface, l_Mix_FreeMusic and l_Mix_FreeChunk serve as __gc too.
int release_font(lua_State* L);
int release_frameratemanager(lua_State* L);
int release_gamecontroller(lua_State* L);

}  // namespace orbix
