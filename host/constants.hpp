#pragma once

extern "C" {
#include <lua.h>
}

struct Constant {
  const char* name;
  lua_Integer value;
};

const Constant* constants_begin();
const Constant* constants_end();

// Stores every constant as a global, in registration order.
void register_constants(lua_State* L);
