// Turning Lua numbers into C integers the way the host does everywhere:
// round to nearest with halves to the even neighbour, then narrow.
#pragma once

#include <cstdint>

// Rounds half to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). NaN and infinities
// pass through unchanged.
double round_half_even(double x);

// Rounded, then converted to a signed 32-bit parameter. A value outside the
// 32-bit range (and NaN) becomes INT32_MIN, the platform's "integer
// indefinite" value.
std::int32_t number_to_i32(double x);

// Rounded, then converted to 64 bits. Out of range or NaN gives INT64_MIN,
// so the low 32 bits of such a value are 0.
std::int64_t number_to_i64(double x);

// Rounded, then converted to an unsigned 64-bit value: [0, 2^64) exactly,
// negative values as their two's complement (-1 -> 0xFFFF...), anything
// else (NaN, out of range) 0.
std::uint64_t number_to_u64(double x);

// The result of a script callback as a window procedure result: rounded,
// NaN gives 0 and values beyond the 64-bit range saturate.
std::int64_t callback_result(double x);
