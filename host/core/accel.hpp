// Packing of keyboard accelerator entries: scripts hand over Lua integers,
// the platform record keeps only the low bits of each field.
#pragma once

#include <cstddef>
#include <cstdint>

// One accelerator entry as the platform stores it (flags byte, key, command).
struct AccelFields {
  std::uint8_t fvirt;
  std::uint16_t key;
  std::uint16_t cmd;
};

// fVirt keeps its low 8 bits, key and cmd their low 16 bits each, so
// {fVirt = 0x101, key = 0x10041, cmd = 70000} becomes {0x01, 0x0041, 4464}.
AccelFields pack_accel(std::int64_t fvirt, std::int64_t key, std::int64_t cmd);

// Bytes of one stored record (the platform record is 6 bytes, unpadded).
constexpr std::size_t kAccelRecordSize = 6;

// The number of entries a table may hold and the size of the entry block for
// `count` entries: a negative count means none, and a count whose block
// cannot be described (beyond the platform's int count) is refused with
// false, so a lying length never turns into a short buffer.
bool accel_block_size(std::int64_t count, std::size_t* entries, std::size_t* bytes);
