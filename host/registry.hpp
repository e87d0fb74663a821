#pragma once

extern "C" {
#include <lua.h>
}

constexpr int kBindingCount = 118;
// Start-up registers bindings 1..49, allocates the custom colour table, then
// registers 50..118.
constexpr int kLastBindingBeforeColorTable = 49;

struct Binding {
  const char* name;
  lua_CFunction function;
};

// position is 1-based, as in the registration order.
const Binding& binding_at(int position);
void register_bindings(lua_State* L, int first, int last);
