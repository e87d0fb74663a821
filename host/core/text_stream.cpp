#include "text_stream.hpp"

#include <algorithm>
#include <cstring>

std::uint32_t stream_write_piece(char* buffer, std::size_t capacity, std::int32_t& position, const void* piece,
                                 std::int32_t requested, std::int32_t& done) {
  done = 0;
  if (capacity == 0) return kStreamBufferFull;
  const std::size_t limit = capacity - 1;
  const std::size_t at = position < 0 ? 0 : std::min(static_cast<std::size_t>(position), limit);
  const std::size_t want = requested < 0 ? 0 : static_cast<std::size_t>(requested);
  const std::size_t n = std::min(want, limit - at);
  if (n) std::memcpy(buffer + at, piece, n);
  buffer[at + n] = '\0';
  position = static_cast<std::int32_t>(at + n);
  done = static_cast<std::int32_t>(n);
  return n == want ? kStreamGoOn : kStreamBufferFull;
}

std::uint32_t stream_read_piece(const char* text, std::size_t length, std::int32_t& position, void* piece,
                                std::int32_t requested, std::int32_t& done) {
  const std::size_t at = position < 0 ? 0 : std::min(static_cast<std::size_t>(position), length);
  const std::size_t want = requested < 0 ? 0 : static_cast<std::size_t>(requested);
  const std::size_t n = std::min(want, length - at);
  if (n) std::memcpy(piece, text + at, n);
  position = static_cast<std::int32_t>(at + n);
  done = static_cast<std::int32_t>(n);
  return kStreamGoOn;
}
