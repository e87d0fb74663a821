#include "wave_image.hpp"

#include <cstdint>
#include <cstring>

bool wave_image_fits(const char* data, std::size_t size) {
  if (!data || size < 12) return false;
  if (std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(data + 4);
  const std::uint64_t riff = static_cast<std::uint64_t>(b[0]) | static_cast<std::uint64_t>(b[1]) << 8 |
                             static_cast<std::uint64_t>(b[2]) << 16 | static_cast<std::uint64_t>(b[3]) << 24;
  return riff + 8 <= size;
}
