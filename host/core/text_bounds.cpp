#include "text_bounds.hpp"

#include <cstring>

std::size_t copy_cut(char* dst, std::size_t cap, const char* src, std::size_t len) {
  if (cap == 0) return 0;
  std::size_t n = 0;
  if (src) {
    const std::size_t limit = len < cap - 1 ? len : cap - 1;
    const void* zero = std::memchr(src, 0, limit);
    n = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - src) : limit;
    std::memcpy(dst, src, n);
  }
  dst[n] = '\0';
  return n;
}

bool text_fits(std::int64_t units, int max_char_size, std::size_t cap) {
  if (units < 0 || max_char_size < 1 || cap == 0) return false;
  // units * size + 1 <= cap, without overflowing.
  return static_cast<std::uint64_t>(units) <= (cap - 1) / static_cast<std::uint64_t>(max_char_size);
}

std::uint64_t clamp_request(std::uint64_t requested, std::size_t cap) { return requested < cap ? requested : cap; }

TextRangePlan plan_text_range(std::int32_t first, std::int32_t last, std::size_t wide_units, std::size_t byte_cap) {
  TextRangePlan p{false, first, last, 0};
  const std::int64_t count = static_cast<std::int64_t>(last) - first + 1;
  if (count <= 0 || first < 0 || wide_units < 1 || byte_cap < 1) return p;
  p.convert_bytes = static_cast<int>(count < static_cast<std::int64_t>(byte_cap) ? count : byte_cap);
  // At most wide_units - 1 characters, leaving room for the terminator.
  const std::int64_t room = static_cast<std::int64_t>(wide_units) - 1;
  if (static_cast<std::int64_t>(last) - first > room) {
    const std::int64_t cut = first + room;
    p.cp_max = static_cast<std::int32_t>(cut > INT32_MAX ? INT32_MAX : cut);
  }
  p.send = true;
  return p;
}
