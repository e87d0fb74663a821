#include "guards.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace orbix::guards {

void clamp_span(int& start, int& length, long long lo, long long hi) {
  long long a = start, b = a + length;
  a = std::clamp(a, lo, hi);
  b = std::clamp(b, lo, hi);
  start = static_cast<int>(a);
  length = static_cast<int>(b > a ? b - a : 0);
}

void limit_surface_rect(int& x, int& y, int& w, int& h) {
  clamp_span(x, w, -kSurfaceRectReach, kSurfaceRectReach);
  clamp_span(y, h, -kSurfaceRectReach, kSurfaceRectReach);
}

bool cut_far_span(int start, int length, double scale, int size, float& out_start, float& out_length) {
  double a = start * scale, b = (static_cast<double>(start) + length) * scale;
  out_start = static_cast<float>(start);
  out_length = static_cast<float>(length);
  if (std::fabs(a) <= kFarPixels && std::fabs(b) <= kFarPixels) return true;
  if (!(b > a)) {
    // No extent: SDL still draws one pixel at the start, which is far away
    // unless only the end was.
    if (std::fabs(a) > kFarPixels) return false;
    out_length = 0;
    return true;
  }
  a = std::max(a, -kFarMargin);
  b = std::min(b, size + kFarMargin);
  if (!(b > a)) return false;
  out_start = static_cast<float>(a / scale);
  out_length = static_cast<float>((b - a) / scale);
  return true;
}

long long clip_reach(float scale) {
  const double s = std::fabs(scale);
  return s > 0 ? static_cast<long long>(std::min(kFarPixels / s, 2147483647.0)) : 2147483647LL;
}

bool render_scale_in_range(double sx, double sy) {
  return std::fabs(sx) <= kMaxRenderScale && std::fabs(sy) <= kMaxRenderScale;
}

bool is_long_line(int x1, int y1, int x2, int y2) {
  const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
  return std::fabs(dx) > kLongLine || std::fabs(dy) > kLongLine;
}

bool clip_long_line(int& x1, int& y1, int& x2, int& y2, int width, int height, float sx, float sy) {
  if (!is_long_line(x1, y1, x2, y2)) return true;
  const double dx = static_cast<double>(x2) - x1, dy = static_cast<double>(y2) - y1;
  const double scale = std::min(sx, sy);
  double reach = std::max(width, height) / (scale > 0 ? scale : 1e-9) + kLongLine;
  if (!(reach < kMaxLineReach)) reach = kMaxLineReach;
  double t0 = 0, t1 = 1;
  auto edge = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double t = q / p;
    if (p < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
    return true;
  };
  if (!(edge(-dx, x1 + reach) && edge(dx, reach - x1) && edge(-dy, y1 + reach) && edge(dy, reach - y1))) return false;
  const double ox = x1, oy = y1;
  x1 = static_cast<int>(std::lround(ox + t0 * dx));
  y1 = static_cast<int>(std::lround(oy + t0 * dy));
  x2 = static_cast<int>(std::lround(ox + t1 * dx));
  y2 = static_cast<int>(std::lround(oy + t1 * dy));
  return true;
}

bool copy_geometry_in_range(const Area* dst, int centre_x, int centre_y, float sx, float sy) {
  auto in = [](int v, float scale) {
    return std::fabs(double(v)) <= kCopyGeometryLimit && std::fabs(v * double(scale)) <= kCopyGeometryLimit;
  };
  if (dst && !(in(dst->x, sx) && in(dst->y, sy) && in(dst->w, sx) && in(dst->h, sy))) return false;
  return in(centre_x, sx) && in(centre_y, sy);
}

void widen_palette_row(const std::uint8_t* packed, std::uint8_t* bytes, int width, int bits, bool msb_first) {
  const int per_byte = 8 / bits;
  const auto mask = static_cast<std::uint8_t>((1 << bits) - 1);
  for (int x = 0; x < width; ++x) {
    const int slot = x % per_byte;
    const int shift = msb_first ? 8 - bits * (slot + 1) : bits * slot;
    bytes[x] = static_cast<std::uint8_t>((packed[x / per_byte] >> shift) & mask);
  }
}

void mirror_bytes(std::uint8_t* pixels, int width, int height, int pitch, bool left_right, bool top_bottom) {
  auto row = [&](int y) { return pixels + static_cast<std::ptrdiff_t>(y) * pitch; };
  if (left_right) {
    for (int y = 0; y < height; ++y) std::reverse(row(y), row(y) + width);
  }
  if (top_bottom) {
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(row(top), row(top) + width, row(bottom));
  }
}

bool zoom_source_fits(int width, int height, int bits_per_pixel) {
  return bits_per_pixel == 8 || (width <= kMaxZoomSource && height <= kMaxZoomSource);
}

}  // namespace orbix::guards
