// Narrowing a script's integer to a parameter's width by keeping its low
// bits, the rule every binding applies (a colour component keeps 8 bits, a
// flags word 32). The name says how the kept bits are read: low16_signed and
// low16_unsigned keep the same 16 bits, one as -1 where the other is 65535.
// No Lua here: portable code that is tested natively uses it too.
#pragma once

#include <cstdint>

namespace glue {

constexpr std::int32_t low32_signed(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v)); }
constexpr std::uint32_t low32_unsigned(std::int64_t v) { return static_cast<std::uint32_t>(v); }
constexpr std::int16_t low16_signed(std::int64_t v) { return static_cast<std::int16_t>(static_cast<std::uint16_t>(v)); }
constexpr std::uint16_t low16_unsigned(std::int64_t v) { return static_cast<std::uint16_t>(v); }
constexpr std::uint8_t low8_unsigned(std::int64_t v) { return static_cast<std::uint8_t>(v); }

}  // namespace glue
