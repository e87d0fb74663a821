// Readers of Lua tables that are not part of the exported C interface.
#pragma once

#include "orbix.hpp"

namespace orbix {

// Color table {r, g, b, a}: each entry's integer value (0 when it has none)
// cut to its low 8 bits. The caller checks that `index` holds a table.
SDL_Color get_color(lua_State* L, int index);

}  // namespace orbix
