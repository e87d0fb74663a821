#include "core/accel.hpp"

#include <climits>

AccelFields pack_accel(std::int64_t fvirt, std::int64_t key, std::int64_t cmd) {
  AccelFields f;
  f.fvirt = static_cast<std::uint8_t>(static_cast<std::uint64_t>(fvirt) & 0xFFu);
  f.key = static_cast<std::uint16_t>(static_cast<std::uint64_t>(key) & 0xFFFFu);
  f.cmd = static_cast<std::uint16_t>(static_cast<std::uint64_t>(cmd) & 0xFFFFu);
  return f;
}

bool accel_block_size(std::int64_t count, std::size_t* entries, std::size_t* bytes) {
  if (count < 0) count = 0;
  if (count > INT_MAX) return false;
  *entries = static_cast<std::size_t>(count);
  *bytes = *entries * kAccelRecordSize;
  return true;
}
