// The coordinate range the curve bindings pass on to GDI.
#pragma once

#include <cstddef>

// GDI works in a 27-bit device space: Windows refuses shapes beyond it, while
// Wine's rasteriser walks the whole outline, for minutes near the ends of the
// int range. Every coordinate and every extent must lie within +-(2^27 - 1).
constexpr long long kGdiCoordinateMax = (1LL << 27) - 1;

// Whether the `count` values of `c`, read as (x, y) pairs of corners, and the
// extents between the first two corners, lie within the range.
bool shape_fits_gdi(const int* c, std::size_t count);
