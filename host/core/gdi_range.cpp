#include "gdi_range.hpp"

namespace {

bool fits(long long v) { return v >= -kGdiCoordinateMax && v <= kGdiCoordinateMax; }

}  // namespace

bool shape_fits_gdi(const int* c, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (!fits(c[i])) return false;
  }
  // The bounding box: left, top, right, bottom come first in every shape.
  if (count >= 4) {
    if (!fits(static_cast<long long>(c[2]) - c[0]) || !fits(static_cast<long long>(c[3]) - c[1])) return false;
  }
  return true;
}
