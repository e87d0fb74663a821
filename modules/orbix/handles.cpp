// Handle userdata, release routines and the ownership side table
// (see handles.hpp for the model).
#include "handles.hpp"

#include <SDL2_framerate.h>
#include <SDL2_gfxPrimitives.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <vector>

#include "bindings.hpp"
#include "lua_glue.hpp"
#include "pixels.hpp"

namespace orbix {
namespace {

// One row per handle type, in the order luaopen_orbix creates the metatables.
// The release routine is the metatable's __gc and, where the module table
// has one (DestroyWindow, FreeSurface, ...), that function itself.
struct HandleType {
  Kind kind;
  const char* metatable;
  lua_CFunction release;
};

constexpr HandleType kHandleTypes[] = {
    {Kind::Window, "orbix_window", l_DestroyWindow},
    {Kind::Renderer, "orbix_renderer", l_DestroyRenderer},
    {Kind::Music, "orbix_music", l_Mix_FreeMusic},
    {Kind::Chunk, "orbix_soundchunk", l_Mix_FreeChunk},
    {Kind::Texture, "orbix_texture", l_DestroyTexture},
    {Kind::Surface, "orbix_surface", l_FreeSurface},
    {Kind::Font, "orbix_font", release_font},
    {Kind::FrameRateManager, "orbix_frameratemanager", release_frameratemanager},
    {Kind::GameController, "orbix_gamecontroller", release_gamecontroller},
};

// Row k describes kind k, so a kind's name and release routine are looked up
// by the kind itself, and a row out of place (or missing) cannot compile.
constexpr bool rows_follow_kinds() {
  if (sizeof kHandleTypes / sizeof kHandleTypes[0] != kKindCount) return false;
  for (int k = 0; k < kKindCount; ++k)
    if (static_cast<int>(kHandleTypes[k].kind) != k) return false;
  return true;
}
static_assert(rows_follow_kinds(), "kHandleTypes holds one row per Kind, in the order of Kind");

const HandleType& type_of(Kind kind) { return kHandleTypes[static_cast<int>(kind)]; }

struct Ref {
  void** block;  // the handle userdata's one-pointer block
  bool owning;   // releasing this handle releases the object
};

struct Node {
  Kind kind;
  // The object is released through a handle (textures, renderers, windows,
  // plain surfaces, ...). False for objects SDL owns (a window's surface) and
  // for textures only reached through GetRenderTarget.
  bool has_owner = false;
  void* parent = nullptr;  // the object this one must not outlive
  std::vector<Ref> refs;
  std::vector<void*> children;            // objects that must go before this one
  SDL_Surface* held_surface = nullptr;    // software renderer: its plain target surface
  SDL_Surface* window_surface = nullptr;  // window: the surface SDL last handed out
};

std::unordered_map<void*, Node> g_nodes;

// The renderer whose textures SDL2_gfx's glyph cache currently holds.
SDL_Renderer* g_gfx_font_renderer = nullptr;
void* g_playing_music = nullptr;

// Live windows; the size watch below is installed while there is one.
int g_window_count = 0;
int SDLCALL on_window_event(void*, SDL_Event* e);

Node* find(void* object) {
  auto it = g_nodes.find(object);
  return it == g_nodes.end() ? nullptr : &it->second;
}

void reset_gfx_font_cache() {
  // Destroys the cached glyph textures (their renderer is still alive here)
  // and keeps the built-in font.
  gfxPrimitivesSetFont(nullptr, 0, 0);
  g_gfx_font_renderer = nullptr;
}

// Calls the SDL release function of a type. Null is passed through on
// purpose: the libraries accept it (SDL may record an error text).
void release_raw(Kind kind, void* object) {
  switch (kind) {
    case Kind::Window: SDL_DestroyWindow(static_cast<SDL_Window*>(object)); break;
    case Kind::Renderer: {
      auto* renderer = static_cast<SDL_Renderer*>(object);
      if (object && object == g_gfx_font_renderer) reset_gfx_font_cache();
      // SDL 2.26 frees a renderer's queued commands before its textures, and
      // destroying the texture it draws into queues two more (the switch
      // back to the window), which are never freed. Switched back first, the
      // renderer frees them with the rest.
      if (object && SDL_GetRenderTarget(renderer)) SDL_SetRenderTarget(renderer, nullptr);
      SDL_DestroyRenderer(renderer);
      break;
    }
    case Kind::Texture: SDL_DestroyTexture(static_cast<SDL_Texture*>(object)); break;
    case Kind::Surface: SDL_FreeSurface(static_cast<SDL_Surface*>(object)); break;
    case Kind::Music:
      if (object && object == g_playing_music) {
        Mix_HaltMusic();
        g_playing_music = nullptr;
      }
      Mix_FreeMusic(static_cast<Mix_Music*>(object));
      break;
    case Kind::Chunk: Mix_FreeChunk(static_cast<Mix_Chunk*>(object)); break;
    case Kind::Font: TTF_CloseFont(static_cast<TTF_Font*>(object)); break;
    case Kind::FrameRateManager: free(object); break;
    case Kind::GameController: SDL_GameControllerClose(static_cast<SDL_GameController*>(object)); break;
  }
}

void unlink_from_parent(void* object, void* parent) {
  if (Node* p = find(parent)) {
    auto& c = p->children;
    c.erase(std::remove(c.begin(), c.end(), object), c.end());
  }
}

// Forgets `object` and everything that depends on it, emptying all their
// handles. SDL objects that are ours to release are released, dependants
// first; `release_self` is false when SDL frees (or has freed) the object.
void drop(void* object, bool release_self) {
  auto it = g_nodes.find(object);
  if (it == g_nodes.end()) return;
  Node node = std::move(it->second);
  g_nodes.erase(it);
  for (const Ref& r : node.refs) *r.block = nullptr;
  if (node.parent) unlink_from_parent(object, node.parent);
  if (node.kind == Kind::Window && --g_window_count == 0) SDL_DelEventWatch(on_window_event, nullptr);

  for (void* child : node.children) {
    Node* c = find(child);
    if (!c) continue;
    c->parent = nullptr;  // this node is gone already
    // A renderer's textures and a window's own surface go with their owner
    // inside SDL; everything else (renderers of a window or of a window
    // surface) must be destroyed explicitly, and before the owner.
    bool sdl_frees = (node.kind == Kind::Renderer && c->kind == Kind::Texture) ||
                     (node.kind == Kind::Window && c->kind == Kind::Surface);
    drop(child, !sdl_frees);
  }

  if (release_self) {
    release_raw(node.kind, object);
    if (node.held_surface) SDL_FreeSurface(node.held_surface);
  } else if (node.kind == Kind::Renderer && object == g_gfx_font_renderer) {
    g_gfx_font_renderer = nullptr;  // unreachable in practice: renderers are always ours
  }
}

// Registers a new live object. An existing entry for the same address means
// SDL freed that object behind our back and reused the memory: forget it.
// May throw std::bad_alloc; track() undoes what it did by then.
Node& add_node(void* object, Kind kind, void* parent) {
  if (find(object)) drop(object, false);
  Node& n = g_nodes[object];
  n.kind = kind;
  n.parent = parent;
  if (kind == Kind::Window && ++g_window_count == 1) SDL_AddEventWatch(on_window_event, nullptr);
  if (parent) {
    if (Node* p = find(parent)) p->children.push_back(object);
    else n.parent = nullptr;
  }
  return n;
}

// After a size change SDL frees a window's surface at the next
// SDL_GetWindowSurface, which SDL itself calls too (a window's software
// renderer does on its next draw), so a surface handle cannot wait for our
// own GetWindowSurface to notice. SDL announces the change synchronously
// through its event watchers while the old surface still exists: forget it
// there, emptying its handles and destroying software renderers drawing
// into it.
int SDLCALL on_window_event(void*, SDL_Event* e) {
  if (e->type != SDL_WINDOWEVENT || e->window.event != SDL_WINDOWEVENT_SIZE_CHANGED) return 0;
  SDL_Window* window = SDL_GetWindowFromID(e->window.windowID);
  Node* w = window ? find(window) : nullptr;
  if (w && w->window_surface) {
    void* stale = w->window_surface;
    w->window_surface = nullptr;
    drop(stale, false);
  }
  return 0;
}

// Finishes the new handle at `index`: the object in its block, its metatable
// attached. Neither allocates from Lua: the metatable's name is a registry
// key, so it is found without making a string.
void fill_block(lua_State* L, int index, Kind kind, void* object) {
  index = lua_absindex(L, index);
  *static_cast<void**>(lua_touserdata(L, index)) = object;
  luaL_getmetatable(L, meta_name(kind));
  lua_setmetatable(L, index);
}

// Records `object` in the side table through `record`, then fills the handle
// at `index`. Recording may run out of memory: then `undo` (which allocates
// nothing) puts back what it changed and gives up what the handle would have
// held, and Lua's memory error is raised. The block stays unfilled, so its
// collection touches nothing.
template <class Record, class Undo>
void track(lua_State* L, int index, Kind kind, void* object, Record record, Undo undo) {
  void** block = static_cast<void**>(lua_touserdata(L, index));
  if (!glue::without_bad_alloc([&] { record(block); })) {
    undo();
    glue::raise_memory_error(L);
    return;
  }
  fill_block(L, index, kind, object);
}

// An object the handle owns, depending on `parent` (or on nothing). Returns
// false when the handle is empty.
bool fill_tracked(lua_State* L, int index, Kind kind, void* object, void* parent) {
  if (!object) {
    fill_block(L, index, kind, nullptr);
    return false;
  }
  track(
      L, index, kind, object,
      [&](void** block) {
        Node& n = add_node(object, kind, parent);
        n.has_owner = true;
        n.refs.push_back({block, true});
      },
      [&] {
        drop(object, false);
        release_raw(kind, object);
      });
  return true;
}

// Forgets an object SDL owns once no handle refers to it any more.
void forget_if_unreferenced(void* object) {
  Node* n = find(object);
  if (n && !n->has_owner && n->refs.empty() && n->children.empty()) drop(object, false);
}

int release(lua_State* L, Kind kind) {
  void** block = handle_block(L, 1, kind);
  void* object = *block;
  *block = nullptr;
  if (!object) {
    release_raw(kind, nullptr);
    return 0;
  }
  Node* n = find(object);
  if (!n) return 0;  // not ours to release: never release what we do not track
  bool owning = false;
  auto& refs = n->refs;
  for (auto r = refs.begin(); r != refs.end(); ++r) {
    if (r->block == block) {
      owning = r->owning;
      refs.erase(r);
      break;
    }
  }
  if (kind == Kind::GameController) {
    // SDL counts references per open; each handle holds one.
    if (owning) SDL_GameControllerClose(static_cast<SDL_GameController*>(object));
    if (refs.empty()) drop(object, false);
    return 0;
  }
  if (owning) {
    drop(object, true);
  } else {
    forget_if_unreferenced(object);  // the last handle of something SDL owns
  }
  return 0;
}

// --- remembering the metatables ----------------------------------------------
// Each Lua state that opens the module gets a guard: a userdata in the
// registry whose user value anchors the nine metatables, so none of them can
// be collected (and its address reused by another table) while it is
// remembered, and whose finalizer forgets them when the state closes.

// The guard's registry key is this object's address.
const char kGuardKey = 0;

// Forgets the metatables anchored in the user value of the guard at `index`.
// Any other value is harmless here: forgetting only sends checks to the
// by-name path.
void forget_metatables(lua_State* L, int index) {
  index = lua_absindex(L, index);
  if (lua_type(L, index) != LUA_TUSERDATA) return;
  if (lua_getuservalue(L, index) == LUA_TTABLE) {
    for (int k = 0; k < kKindCount; ++k) {
      lua_rawgeti(L, -1, k + 1);
      const void* meta = lua_topointer(L, -1);
      lua_pop(L, 1);
      for (auto& known : g_known_metatables[k]) {
        const void* expected = meta;
        if (meta) known.compare_exchange_strong(expected, nullptr);
      }
    }
  }
  lua_pop(L, 1);
}

int guard_gc(lua_State* L) {
  forget_metatables(L, 1);
  forget_palettes();  // the closing state's surfaces may hold the palettes
  return 0;
}

void remember(int kind, const void* meta) {
  for (auto& known : g_known_metatables[kind]) {
    const void* expected = nullptr;
    if (known.compare_exchange_strong(expected, meta)) return;
  }
  // Every place taken by other live states: this one is checked by name.
}

}  // namespace

std::atomic<const void*> g_known_metatables[kKindCount][kKnownStates];

const char* meta_name(Kind kind) { return type_of(kind).metatable; }

void create_metatables(lua_State* L) {
  for (const HandleType& t : kHandleTypes) new_metatable_with_gc(L, t.metatable, t.release);
  note_metatables(L);
}

void note_metatables(lua_State* L) {
  if (lua_rawgetp(L, LUA_REGISTRYINDEX, &kGuardKey) == LUA_TUSERDATA) {
    forget_metatables(L, -1);  // opened before in this state
  } else {
    lua_pop(L, 1);
    lua_newuserdata(L, 0);
    lua_createtable(L, 0, 1);
    lua_pushcfunction(L, guard_gc);
    lua_setfield(L, -2, "__gc");
    lua_setmetatable(L, -2);
    lua_pushvalue(L, -1);
    lua_rawsetp(L, LUA_REGISTRYINDEX, &kGuardKey);
  }
  lua_createtable(L, kKindCount, 0);
  for (int k = 0; k < kKindCount; ++k) {
    if (luaL_getmetatable(L, kHandleTypes[k].metatable) != LUA_TTABLE) {
      lua_pop(L, 1);
      continue;
    }
    const void* meta = lua_topointer(L, -1);
    lua_rawseti(L, -2, k + 1);
    remember(k, meta);
  }
  lua_setuservalue(L, -2);
  lua_pop(L, 1);
}

void new_handle(lua_State* L) { *static_cast<void**>(lua_newuserdata(L, sizeof(void*))) = nullptr; }

bool emptied_meanwhile(lua_State* L, int index, const void* before) {
  return before && lua_type(L, index) == LUA_TUSERDATA && !*static_cast<void**>(lua_touserdata(L, index));
}

int empty_handle(lua_State* L, Kind kind) {
  fill_block(L, -1, kind, nullptr);
  return 1;
}

void fill_owned(lua_State* L, int index, Kind kind, void* object) {
  if (kind == Kind::GameController && object && find(object)) {
    // A second open of the same device: SDL returned the same controller
    // with one more reference, which this handle now holds.
    track(
        L, index, kind, object,
        [&](void** block) {
          find(object)->refs.push_back({block, true});
        },
        [&] { SDL_GameControllerClose(static_cast<SDL_GameController*>(object)); });
    return;
  }
  fill_tracked(L, index, kind, object, nullptr);
}

void fill_window_and_renderer(lua_State* L, int window_index, SDL_Window* window, int renderer_index,
                              SDL_Renderer* renderer) {
  auto* window_block = static_cast<void**>(lua_touserdata(L, window_index));
  auto* renderer_block = static_cast<void**>(lua_touserdata(L, renderer_index));
  const bool recorded = glue::without_bad_alloc([&] {
    if (window) {
      Node& w = add_node(window, Kind::Window, nullptr);
      w.has_owner = true;
      w.refs.push_back({window_block, true});
    }
    if (renderer) {
      Node& r = add_node(renderer, Kind::Renderer, window);
      r.has_owner = true;
      r.refs.push_back({renderer_block, true});
    }
  });
  if (!recorded) {
    drop(renderer, false);
    drop(window, false);
    if (renderer) release_raw(Kind::Renderer, renderer);
    if (window) release_raw(Kind::Window, window);
    glue::raise_memory_error(L);
    return;
  }
  fill_block(L, window_index, Kind::Window, window);
  fill_block(L, renderer_index, Kind::Renderer, renderer);
}

void fill_software_renderer(lua_State* L, int index, SDL_Renderer* renderer, SDL_Surface* target) {
  Node* t = target ? find(target) : nullptr;
  bool window_owned = target && (target->flags & SDL_DONTFREE);
  bool filled = fill_tracked(L, index, Kind::Renderer, renderer, (t && !t->has_owner) ? target : nullptr);
  if (!filled || !target || window_owned) return;
  // A plain surface stays allocated for as long as the renderer draws into
  // it, even after its own handle is released.
  ++target->refcount;
  find(renderer)->held_surface = target;
}

void fill_texture(lua_State* L, int index, SDL_Texture* texture, SDL_Renderer* renderer) {
  fill_tracked(L, index, Kind::Texture, texture, renderer);
}

void fill_texture_alias(lua_State* L, int index, SDL_Texture* texture, SDL_Renderer* renderer) {
  if (!texture) return fill_block(L, index, Kind::Texture, nullptr);
  track(
      L, index, Kind::Texture, texture,
      [&](void** block) {
        Node* n = find(texture);
        if (!n || n->kind != Kind::Texture) n = &add_node(texture, Kind::Texture, renderer);
        n->refs.push_back({block, false});
      },
      [&] { forget_if_unreferenced(texture); });
}

void fill_window_surface(lua_State* L, int index, SDL_Surface* surface, SDL_Window* window) {
  if (!surface) return fill_block(L, index, Kind::Surface, nullptr);
  Node* w = window ? find(window) : nullptr;
  if (w && w->window_surface && w->window_surface != surface) {
    // SDL freed the window's previous surface when it made this one.
    drop(w->window_surface, false);
    w = find(window);
  }
  if (w) w->window_surface = surface;
  track(
      L, index, Kind::Surface, surface,
      [&](void** block) {
        Node* n = find(surface);
        if (!n || n->has_owner || n->kind != Kind::Surface || n->parent != (w ? window : nullptr))
          n = &add_node(surface, Kind::Surface, w ? window : nullptr);
        n->refs.push_back({block, false});
      },
      [&] { forget_if_unreferenced(surface); });
}

void* find_live(Kind kind, bool (*match)(void* object, const void* context), const void* context) {
  for (auto& [object, node] : g_nodes)
    if (node.kind == kind && match(object, context)) return object;
  return nullptr;
}

namespace {

bool any_object(void*, const void*) { return true; }

}  // namespace

void before_sdl_quit() {
  // SDL_Quit closes every controller itself; renderers and windows we
  // destroy here, renderers first, so nothing is left dangling. Each drop
  // changes the table, so the next object is looked up afresh.
  for (Kind kind : {Kind::Renderer, Kind::Window, Kind::GameController})
    while (void* object = find_live(kind, any_object, nullptr)) drop(object, kind != Kind::GameController);
  if (g_gfx_font_renderer) g_gfx_font_renderer = nullptr;
}

void gfx_font_cache_use(SDL_Renderer* renderer) {
  if (renderer && g_gfx_font_renderer != renderer) {
    if (g_gfx_font_renderer) reset_gfx_font_cache();
    g_gfx_font_renderer = renderer;
  }
}

void note_playing_music(void* music) { g_playing_music = music; }

void release_all(Kind kind) {
  while (void* object = find_live(kind, any_object, nullptr)) drop(object, true);
}

int release_font(lua_State* L) { return release(L, Kind::Font); }
int release_frameratemanager(lua_State* L) { return release(L, Kind::FrameRateManager); }
int release_gamecontroller(lua_State* L) { return release(L, Kind::GameController); }

}  // namespace orbix

using orbix::Kind;

int l_DestroyWindow(lua_State* L) { return orbix::release(L, Kind::Window); }
int l_DestroyRenderer(lua_State* L) { return orbix::release(L, Kind::Renderer); }
int l_DestroyTexture(lua_State* L) { return orbix::release(L, Kind::Texture); }
int l_FreeSurface(lua_State* L) { return orbix::release(L, Kind::Surface); }
int l_Mix_FreeMusic(lua_State* L) { return orbix::release(L, Kind::Music); }
int l_Mix_FreeChunk(lua_State* L) { return orbix::release(L, Kind::Chunk); }

extern "C" {

static void* check_handle(lua_State* L, int index, Kind kind) { return orbix::handle_object(L, index, kind); }

SDL_Window* lua_towindow(lua_State* L, int index) {
  int t = lua_type(L, index);
  if (t != LUA_TUSERDATA && !(t == LUA_TLIGHTUSERDATA && lua_touserdata(L, index))) return nullptr;
  return static_cast<SDL_Window*>(check_handle(L, index, Kind::Window));
}
SDL_Renderer* lua_torenderer(lua_State* L, int index) {
  return static_cast<SDL_Renderer*>(check_handle(L, index, Kind::Renderer));
}
SDL_Texture* lua_totexture(lua_State* L, int index) {
  return static_cast<SDL_Texture*>(check_handle(L, index, Kind::Texture));
}
SDL_Surface* lua_tosurface(lua_State* L, int index) {
  return static_cast<SDL_Surface*>(check_handle(L, index, Kind::Surface));
}
void* lua_tomusic(lua_State* L, int index) { return check_handle(L, index, Kind::Music); }
void* lua_tochunk(lua_State* L, int index) { return check_handle(L, index, Kind::Chunk); }
void* lua_tofont(lua_State* L, int index) { return check_handle(L, index, Kind::Font); }
void* lua_toframeratemanager(lua_State* L, int index) { return check_handle(L, index, Kind::FrameRateManager); }
SDL_GameController* lua_togamecontroller(lua_State* L, int index) {
  return static_cast<SDL_GameController*>(check_handle(L, index, Kind::GameController));
}

}  // extern "C"
