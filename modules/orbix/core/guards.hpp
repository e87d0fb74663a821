// The integer-range guards orbix applies to a script's numbers before SDL
// sees them. SDL 2.26, its software renderer and SDL2_gfx compute positions,
// sizes and clip sums in int (or in 16.16 fixed point) and wrap near the ends
// of the range: they then read or write far outside a surface, or allocate
// for every pixel of a line billions of pixels long. Each guard keeps the
// numbers where those sums cannot wrap, chosen so that everything a real
// target can show comes out exactly as SDL would draw it.
//
// Portable: plain integers and floats, no SDL types, so every limit is
// tested natively (tests/orbix/guards_test.cpp).
#pragma once

#include <cstdint>

namespace orbix::guards {

// --- the limits, each with its reason -----------------------------------------

// Surface rectangles (blits, fills) are cut to +-2^28 on both axes: SDL clips
// them with sums such as x + w - clip.w, which fit in int for any rectangle
// within these bounds, and no surface that can be allocated reaches them.
constexpr long long kSurfaceRectReach = 1LL << 28;
// Render fills and clip rectangles: beyond 2^24 device pixels from the origin
// the software renderer's int sums can wrap, so a rectangle reaching further
// is cut to what its target shows, with a margin of 4 device pixels; a clip
// rectangle is cut to 2^24 device pixels, which still covers any target.
constexpr double kFarPixels = 1 << 24;
constexpr double kFarMargin = 4;
// The largest render scale: the primitives' 16-bit coordinates reach 2^17
// logical pixels, and scaled further their rectangles pass 2^31 device
// pixels. No game draws one logical pixel 4096 device pixels wide.
constexpr double kMaxRenderScale = 4096;
// Lines: SDL allocates one point per pixel of a line's whole length, visible
// or not. A line longer than 2^16 on either axis is clipped first, to the
// area its target can show plus that much margin, and never to more than
// 2^24 pixels from the origin.
constexpr long long kLongLine = 1LL << 16;
constexpr double kMaxLineReach = 1 << 24;
// Rotated copies: the software renderer adds the destination, the rotated
// box's offset and the viewport in int before clipping. Destination
// coordinates, sizes and centre within +-2^26 (also once scaled) keep every
// such sum in range; copies beyond are refused, not clamped, because a
// clamped size could still be allocated.
constexpr double kCopyGeometryLimit = 1 << 26;
// zoomSurface's 32-bit path keeps source positions in 16.16 fixed point in
// an int: a source wider or taller than 32767 pixels overflows it.
constexpr int kMaxZoomSource = 32767;
// No palette holds more than 256 colours.
constexpr int kMaxPaletteColors = 256;

// --- spans and rectangles -------------------------------------------------------

// Cuts the span [start, start + length) to [lo, hi], computed in 64 bits: the
// part inside keeps its place, so everything within the bounds is drawn as
// before. A span of no length keeps none (length 0, start clamped).
void clamp_span(int& start, int& length, long long lo, long long hi);

// A surface rectangle cut to +-kSurfaceRectReach on both axes.
void limit_surface_rect(int& x, int& y, int& w, int& h);

// One axis of a render fill: `start` and `length` in logical units, `scale`
// device pixels each, on a target `size` device pixels long. A span reaching
// beyond kFarPixels is cut to the target plus kFarMargin, worked out in
// doubles so the visible edge stays exact. False when nothing of it can show.
bool cut_far_span(int start, int length, double scale, int size, float& out_start, float& out_length);

// How far a clip rectangle may reach from the origin, in logical units, at
// `scale` device pixels per unit: kFarPixels device pixels (the whole int
// range for a scale of 0).
long long clip_reach(float scale);

// Whether a render scale is one the renderer accepts (NaN is not).
bool render_scale_in_range(double sx, double sy);

// Whether a line is longer than kLongLine on either axis.
bool is_long_line(int x1, int y1, int x2, int y2);

// Clips a line longer than kLongLine (Liang-Barsky, in doubles) to the
// logical area a target of `width` x `height` device pixels shows at the
// scale (the smaller of `sx` and `sy`), widened by kLongLine and never past
// kMaxLineReach; a shorter line is left alone. The ends are rounded, so
// visible pixels stay within a pixel of SDL's own. False when nothing of the
// line is inside.
bool clip_long_line(int& x1, int& y1, int& x2, int& y2, int width, int height, float sx, float sy);

// Whether a rotated copy's destination (null: the whole target) and centre
// lie within kCopyGeometryLimit, as given and multiplied by the scale.
struct Area {
  int x, y, w, h;
};
bool copy_geometry_in_range(const Area* dst, int centre_x, int centre_y, float sx, float sy);

// --- pixel rows -------------------------------------------------------------------

// Widens one row of `width` palette indices packed `bits` (1 or 4) to a byte,
// the first pixel in the high bits unless `msb_first` is false.
void widen_palette_row(const std::uint8_t* packed, std::uint8_t* bytes, int width, int bits, bool msb_first);

// Mirrors `height` rows of `width` bytes, `pitch` bytes apart, in place.
void mirror_bytes(std::uint8_t* pixels, int width, int height, int pitch, bool left_right, bool top_bottom);

// Whether zoomSurface may take a source of that size and depth: 8-bit
// sources go another way; the others must fit kMaxZoomSource.
bool zoom_source_fits(int width, int height, int bits_per_pixel);

}  // namespace orbix::guards
