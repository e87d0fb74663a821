// Little-endian reads and writes over byte vectors, bounds-checked: the
// packer reads files it did not make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Reads n bytes (1, 2 or 4) at offset; false when they do not lie in b.
inline bool read_le(const Bytes& b, std::size_t offset, std::size_t n, std::uint32_t& out) {
  if (offset > b.size() || n > b.size() - offset) return false;
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= static_cast<std::uint32_t>(b[offset + i]) << (8 * i);
  out = v;
  return true;
}
inline std::uint32_t le16(const Bytes& b, std::size_t offset) {
  std::uint32_t v = 0;
  return read_le(b, offset, 2, v) ? v : 0;
}
inline std::uint32_t le32(const Bytes& b, std::size_t offset) {
  std::uint32_t v = 0;
  return read_le(b, offset, 4, v) ? v : 0;
}

inline void put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
inline void set16(Bytes& b, std::size_t offset, std::uint32_t v) {
  b[offset] = static_cast<std::uint8_t>(v);
  b[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}
