// orbix's integer-range guards (modules/orbix/core), at each limit: just
// inside, on it and just past it, and at the ends of the int range, where
// SDL's own sums would wrap.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <vector>

#include "core/guards.hpp"

using namespace orbix::guards;

namespace {

constexpr long long kReach = kSurfaceRectReach;

// Both ends of a span as 64-bit values, for checking that nothing wraps.
long long end_of(int start, int length) { return static_cast<long long>(start) + length; }

}  // namespace

TEST(Spans, InsideTheBoundsNothingChanges) {
  int start = -5, length = 20;
  clamp_span(start, length, -100, 100);
  EXPECT_EQ(start, -5);
  EXPECT_EQ(length, 20);
}

TEST(Spans, ThePartInsideKeepsItsPlace) {
  int start = 90, length = 20;  // 90 .. 110 against 100
  clamp_span(start, length, -100, 100);
  EXPECT_EQ(start, 90);
  EXPECT_EQ(length, 10);
  start = -110, length = 20;  // -110 .. -90
  clamp_span(start, length, -100, 100);
  EXPECT_EQ(start, -100);
  EXPECT_EQ(length, 10);
}

TEST(Spans, EmptyAndNegativeSpansKeepNothing) {
  int start = 500, length = 0;
  clamp_span(start, length, -100, 100);
  EXPECT_EQ(start, 100);
  EXPECT_EQ(length, 0);
  start = 10, length = -30;
  clamp_span(start, length, -100, 100);
  EXPECT_EQ(length, 0);
}

TEST(Spans, TheEndsOfTheIntRangeAreComputedWithoutWrapping) {
  int start = INT_MAX, length = INT_MAX;  // the end would wrap in int
  clamp_span(start, length, -kReach, kReach);
  EXPECT_EQ(start, kReach);
  EXPECT_EQ(length, 0);
  start = INT_MIN, length = INT_MAX;  // INT_MIN .. -1
  clamp_span(start, length, -kReach, kReach);
  EXPECT_EQ(start, -kReach);
  EXPECT_EQ(length, kReach - 1);
}

TEST(SurfaceRects, CutAtTwoToThe28) {
  int x = static_cast<int>(kReach) - 1, y = static_cast<int>(-kReach) - 5, w = 10, h = 10;
  limit_surface_rect(x, y, w, h);
  EXPECT_EQ(x, kReach - 1);
  EXPECT_EQ(w, 1);  // one pixel of it lies inside
  EXPECT_EQ(y, -kReach);
  EXPECT_EQ(h, 5);
  // On the limit itself nothing is left to draw.
  x = static_cast<int>(kReach), w = 1, y = 0, h = 1;
  limit_surface_rect(x, y, w, h);
  EXPECT_EQ(w, 0);
  // Anywhere in the int range the cut rectangle ends within the reach, so
  // SDL's x + w - clip.w fits in int for any surface.
  for (int v : {INT_MIN, -1, 0, 1, INT_MAX}) {
    for (int size : {0, 1, INT_MAX}) {
      int a = v, b = v, wa = size, hb = size;
      limit_surface_rect(a, b, wa, hb);
      EXPECT_LE(std::llabs(end_of(a, wa)), kReach);
      EXPECT_LE(std::llabs(end_of(b, hb)), kReach);
    }
  }
}

TEST(FarFills, SpansWithinTwoToThe24PassUnchanged) {
  float s = 0, l = 0;
  ASSERT_TRUE(cut_far_span(1 << 24, 0, 1, 100, s, l));  // on the limit
  EXPECT_EQ(s, 1 << 24);
  EXPECT_EQ(l, 0);
  ASSERT_TRUE(cut_far_span(-(1 << 23), 1 << 24, 1, 100, s, l));
  EXPECT_EQ(s, -(1 << 23));
  EXPECT_EQ(l, 1 << 24);
}

TEST(FarFills, FarSpansAreCutToTheTargetWithItsMargin) {
  float s = 0, l = 0;
  ASSERT_TRUE(cut_far_span(INT_MIN, INT_MAX, 1, 100, s, l));  // -2^31 .. -1: all of it left of the target
  EXPECT_EQ(s, -kFarMargin);
  EXPECT_EQ(l, kFarMargin - 1);
  ASSERT_TRUE(cut_far_span(10, INT_MAX, 1, 100, s, l));  // starts inside, ends far right
  EXPECT_EQ(s, 10);
  EXPECT_EQ(l, 100 + kFarMargin - 10);
  // At a scale of 2 the cut is in logical units: device -4 .. 104 is -2 .. 52.
  ASSERT_TRUE(cut_far_span(-(1 << 30), INT_MAX, 2, 100, s, l));
  EXPECT_EQ(s, -2);
  EXPECT_EQ(l, 54);
}

TEST(FarFills, WhatCannotShowIsDropped) {
  float s = 0, l = 0;
  EXPECT_FALSE(cut_far_span((1 << 24) + 1, 0, 1, 100, s, l));     // one far pixel
  EXPECT_FALSE(cut_far_span(1 << 30, 1 << 29, 1, 100, s, l));     // entirely right of the target
  EXPECT_FALSE(cut_far_span(-(1 << 30), 1 << 29, 1, 100, s, l));  // entirely left
  // A span that runs backwards to a far end still shows its near start, one
  // pixel as SDL draws it.
  ASSERT_TRUE(cut_far_span(5, INT_MIN, 1, 100, s, l));
  EXPECT_EQ(s, 5);
  EXPECT_EQ(l, 0);
}

TEST(ClipRects, ReachTwoToThe24DevicePixels) {
  EXPECT_EQ(clip_reach(1), 1LL << 24);
  EXPECT_EQ(clip_reach(2), 1LL << 23);
  EXPECT_EQ(clip_reach(-2), 1LL << 23);
  EXPECT_EQ(clip_reach(0), INT_MAX);            // no scale: the whole range
  EXPECT_EQ(clip_reach(1.0f / 4096), INT_MAX);  // 2^36 is more than int holds
}

TEST(RenderScale, UpToFourThousandNinetySix) {
  EXPECT_TRUE(render_scale_in_range(kMaxRenderScale, -kMaxRenderScale));
  EXPECT_TRUE(render_scale_in_range(0, 1));
  EXPECT_FALSE(render_scale_in_range(4096.001, 1));
  EXPECT_FALSE(render_scale_in_range(1, -4097));
  EXPECT_FALSE(render_scale_in_range(NAN, 1));
  EXPECT_FALSE(render_scale_in_range(1, INFINITY));
}

TEST(LongLines, LongerThanTwoToThe16OnEitherAxis) {
  EXPECT_FALSE(is_long_line(0, 0, 1 << 16, 0));
  EXPECT_TRUE(is_long_line(0, 0, (1 << 16) + 1, 0));
  EXPECT_FALSE(is_long_line(0, 5, 0, 5 - (1 << 16)));
  EXPECT_TRUE(is_long_line(0, 5, 0, 4 - (1 << 16)));
  EXPECT_TRUE(is_long_line(INT_MIN, 0, INT_MAX, 0));  // the difference does not fit in int
}

TEST(LongLines, ShortLinesAreLeftAlone) {
  int x1 = -100, y1 = 7, x2 = 60000, y2 = -9;
  ASSERT_TRUE(clip_long_line(x1, y1, x2, y2, 640, 480, 1, 1));
  EXPECT_EQ(x1, -100);
  EXPECT_EQ(x2, 60000);
}

TEST(LongLines, ClippedToTheTargetPlusTheMargin) {
  int x1 = INT_MIN, y1 = 10, x2 = INT_MAX, y2 = 10;
  ASSERT_TRUE(clip_long_line(x1, y1, x2, y2, 640, 480, 1, 1));
  EXPECT_EQ(x1, -(640 + kLongLine));
  EXPECT_EQ(x2, 640 + kLongLine);
  EXPECT_EQ(y1, 10);
  EXPECT_EQ(y2, 10);
  // A diagonal keeps its slope: it still passes through (0, 0).
  x1 = -(1 << 30), y1 = -(1 << 30), x2 = 1 << 30, y2 = 1 << 30;
  ASSERT_TRUE(clip_long_line(x1, y1, x2, y2, 100, 100, 1, 1));
  EXPECT_EQ(x1, y1);
  EXPECT_EQ(x2, y2);
  EXPECT_EQ(x2, 100 + kLongLine);
}

TEST(LongLines, TheReachNeverPassesTwoToThe24) {
  int x1 = INT_MIN, y1 = 0, x2 = INT_MAX, y2 = 0;
  ASSERT_TRUE(clip_long_line(x1, y1, x2, y2, 640, 480, 0, 0));  // no scale: everything is in reach
  EXPECT_EQ(x1, -kMaxLineReach);
  EXPECT_EQ(x2, kMaxLineReach);
  x1 = INT_MIN, x2 = INT_MAX;
  ASSERT_TRUE(clip_long_line(x1, y1, x2, y2, 640, 480, 1.0f / 1024, 1.0f / 1024));  // 655,360 + 2^16
  EXPECT_EQ(x2, 640 * 1024 + kLongLine);
}

TEST(LongLines, LinesOutsideTheReachAreNotDrawn) {
  int x1 = INT_MIN, y1 = 1 << 30, x2 = INT_MAX, y2 = 1 << 30;
  EXPECT_FALSE(clip_long_line(x1, y1, x2, y2, 640, 480, 1, 1));
}

TEST(RotatedCopies, GeometryUpToTwoToThe26) {
  const int limit = static_cast<int>(kCopyGeometryLimit);
  EXPECT_TRUE(copy_geometry_in_range(nullptr, 0, 0, 1, 1));
  Area a{limit, -limit, limit, limit};
  EXPECT_TRUE(copy_geometry_in_range(&a, limit, -limit, 1, 1));
  a.x = limit + 1;
  EXPECT_FALSE(copy_geometry_in_range(&a, 0, 0, 1, 1));
  a = Area{0, 0, 8, -limit - 1};
  EXPECT_FALSE(copy_geometry_in_range(&a, 0, 0, 1, 1));
  EXPECT_FALSE(copy_geometry_in_range(nullptr, 0, limit + 1, 1, 1));  // the centre too
  EXPECT_FALSE(copy_geometry_in_range(nullptr, INT_MIN, 0, 1, 1));
}

TEST(RotatedCopies, TheScaleMultipliesFirst) {
  const int half = static_cast<int>(kCopyGeometryLimit) / 2;
  Area a{half, 0, 8, 8};
  EXPECT_TRUE(copy_geometry_in_range(&a, 0, 0, 2, 1));
  a.x = half + 1;
  EXPECT_FALSE(copy_geometry_in_range(&a, 0, 0, 2, 1));
  EXPECT_TRUE(copy_geometry_in_range(&a, 0, 0, 1, 2));  // the other axis' scale does not apply
  EXPECT_FALSE(copy_geometry_in_range(nullptr, 0, half + 1, 1, 2));
}

TEST(PaletteRows, OneBitPixelsBecomeBytes) {
  const std::uint8_t packed[] = {0xB1, 0x80};  // 1011 0001, 1000 0000
  std::vector<std::uint8_t> bytes(9);
  widen_palette_row(packed, bytes.data(), 9, 1, true);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 0, 1, 1, 0, 0, 0, 1, 1}));
  widen_palette_row(packed, bytes.data(), 9, 1, false);  // the first pixel in the low bit
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 1, 0, 1, 0}));
}

TEST(PaletteRows, FourBitPixelsBecomeBytes) {
  // Exactly as many bytes as three pixels need: a read past them is an
  // AddressSanitizer report.
  std::vector<std::uint8_t> packed = {0xAB, 0xC0};
  std::vector<std::uint8_t> bytes(3);
  widen_palette_row(packed.data(), bytes.data(), 3, 4, true);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xA, 0xB, 0xC}));
  widen_palette_row(packed.data(), bytes.data(), 3, 4, false);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xB, 0xA, 0x0}));
}

TEST(Mirroring, RowsAndColumnsInPlaceAndThePaddingUntouched) {
  // 3 x 2 pixels, rows 4 bytes apart; the fourth byte of each row is padding.
  const std::vector<std::uint8_t> start = {1, 2, 3, 99, 4, 5, 6, 98};
  std::vector<std::uint8_t> p = start;
  mirror_bytes(p.data(), 3, 2, 4, true, false);
  EXPECT_EQ(p, (std::vector<std::uint8_t>{3, 2, 1, 99, 6, 5, 4, 98}));
  p = start;
  mirror_bytes(p.data(), 3, 2, 4, false, true);
  EXPECT_EQ(p, (std::vector<std::uint8_t>{4, 5, 6, 99, 1, 2, 3, 98}));
  p = start;
  mirror_bytes(p.data(), 3, 2, 4, true, true);
  EXPECT_EQ(p, (std::vector<std::uint8_t>{6, 5, 4, 99, 3, 2, 1, 98}));
  // An odd number of rows keeps its middle row in place.
  std::vector<std::uint8_t> q = {1, 2, 3};
  mirror_bytes(q.data(), 1, 3, 1, false, true);
  EXPECT_EQ(q, (std::vector<std::uint8_t>{3, 2, 1}));
}

TEST(Zoom, ThirtyTwoBitSourcesUpTo32767Pixels) {
  EXPECT_TRUE(zoom_source_fits(kMaxZoomSource, kMaxZoomSource, 32));
  EXPECT_FALSE(zoom_source_fits(kMaxZoomSource + 1, 1, 32));
  EXPECT_FALSE(zoom_source_fits(1, kMaxZoomSource + 1, 24));
  EXPECT_TRUE(zoom_source_fits(kMaxZoomSource + 1, 65536, 8));  // 8-bit zooms go another way
}
