// poll: one event from SDL's queue as a fresh table.
#include <cstring>

#include "bindings.hpp"

extern "C" {
SDL_Event event;
}

namespace {

// Every integer field goes out as a signed 32-bit value, whatever SDL's type.
inline void put(lua_State* L, const char* name, Sint32 value) {
  lua_pushinteger(L, value);
  lua_setfield(L, -2, name);
}
inline void put(lua_State* L, const char* name, Uint32 value) { put(L, name, static_cast<Sint32>(value)); }

// The common fields (read through the controller-button view for every
// type) that a type's own fields of the same name replace.
enum Common : unsigned { kButton = 1, kState = 2, kWhich = 4, kTimestamp = 8 };

struct Shape {
  int keys;           // the table's final number of keys, so it is made at that size
  unsigned replaced;  // common fields the type sets itself (each key is set once)
};

Shape shape_of(Uint32 type) {
  switch (type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return {10, kState | kTimestamp};
    case SDL_TEXTINPUT: return {7, kTimestamp};
    case SDL_CONTROLLERAXISMOTION: return {7, kWhich | kTimestamp};
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return {9, kButton | kWhich | kState | kTimestamp};
    case SDL_MOUSEMOTION: return {10, kWhich | kState | kTimestamp};
    case SDL_MOUSEWHEEL: return {9, kWhich | kTimestamp};
    default: return {5, 0};
  }
}

}  // namespace

int l_poll(lua_State* L) {
  if (!SDL_PollEvent(&event)) return 0;
  if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT) {
    // The receiver owns the dropped text; scripts never see it. Freed first
    // so that no Lua error below can leak it.
    SDL_free(event.drop.file);
    event.drop.file = nullptr;
  }
  const Shape shape = shape_of(event.type);
  lua_createtable(L, 0, shape.keys);
  put(L, "type", event.type);
  // The common fields are read through the controller-button view for every
  // type; where the type's own fields below have the same name, theirs is
  // the value the table keeps, and only theirs is set.
  if (!(shape.replaced & kButton)) put(L, "button", Uint32{event.cbutton.button});
  if (!(shape.replaced & kState)) put(L, "state", Uint32{event.cbutton.state});
  if (!(shape.replaced & kWhich)) put(L, "which", event.cbutton.which);
  if (!(shape.replaced & kTimestamp)) put(L, "timestamp", event.cbutton.timestamp);

  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      put(L, "sym", event.key.keysym.sym);
      put(L, "scancode", Sint32{event.key.keysym.scancode});
      put(L, "mod", Uint32{event.key.keysym.mod});
      put(L, "windowID", event.key.windowID);
      put(L, "state", Uint32{event.key.state});
      put(L, "repeat", Uint32{event.key.repeat});
      put(L, "timestamp", event.key.timestamp);
      break;
    case SDL_TEXTINPUT: {
      put(L, "windowID", event.text.windowID);
      // At most the buffer minus its terminator, even if a sender left it unterminated.
      size_t n = strnlen(event.text.text, sizeof event.text.text - 1);
      lua_pushlstring(L, event.text.text, n);
      lua_setfield(L, -2, "text");
      put(L, "timestamp", event.text.timestamp);
      break;
    }
    case SDL_CONTROLLERAXISMOTION:
      put(L, "axis", Uint32{event.caxis.axis});
      put(L, "value", Sint32{event.caxis.value});
      put(L, "which", event.caxis.which);
      put(L, "timestamp", event.caxis.timestamp);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      put(L, "button", Uint32{event.button.button});
      put(L, "which", event.button.which);
      put(L, "x", event.button.x);
      put(L, "y", event.button.y);
      put(L, "windowID", event.button.windowID);
      put(L, "state", Uint32{event.button.state});
      put(L, "clicks", Uint32{event.button.clicks});
      put(L, "timestamp", event.button.timestamp);
      break;
    case SDL_MOUSEMOTION:
      put(L, "x", event.motion.x);
      put(L, "y", event.motion.y);
      put(L, "xrel", event.motion.xrel);
      put(L, "yrel", event.motion.yrel);
      put(L, "which", event.motion.which);
      put(L, "state", event.motion.state);
      put(L, "windowID", event.motion.windowID);
      put(L, "timestamp", event.motion.timestamp);
      break;
    case SDL_MOUSEWHEEL:
      put(L, "x", event.wheel.x);
      put(L, "y", event.wheel.y);
      put(L, "which", event.wheel.which);
      put(L, "direction", event.wheel.direction);
      put(L, "windowID", event.wheel.windowID);
      put(L, "timestamp", event.wheel.timestamp);
      break;
    default: break;
  }
  return 1;
}
