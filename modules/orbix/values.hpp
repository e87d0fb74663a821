// Readers of Lua tables that are not part of the exported C interface.
#pragma once

#include "orbix.hpp"

namespace orbix {

// Color table {r, g, b, a}: each entry's integer value (0 when it has none)
// cut to its low 8 bits. The caller checks that `index` holds a table.
SDL_Color get_color(lua_State* L, int index);

// Cuts the span [start, start + length) to [lo, hi], computed in 64 bits: the
// part inside keeps its place, so everything within the bounds is drawn as
// before. A span of no length keeps none (length 0, start clamped). SDL clips
// rectangles with int sums (x + w) that wrap near the ends of the int range;
// spans cut this way keep every such sum in range.
void clamp_span(int& start, int& length, long long lo, long long hi);

// Both axes of `r` cut to [-limit, limit].
void clamp_rect(SDL_Rect& r, long long limit);

}  // namespace orbix
