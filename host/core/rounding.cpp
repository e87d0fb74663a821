#include "rounding.hpp"

#include <cfenv>
#include <cmath>
#include <limits>

double round_half_even(double x) {
  // nearbyint follows the current rounding mode, which nothing in the host
  // changes from round-to-nearest-even; pin it anyway for the odd library
  // that leaves another mode behind.
  const int saved = std::fegetround();
  if (saved != FE_TONEAREST) std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(x);
  if (saved != FE_TONEAREST) std::fesetround(saved);
  return r;
}

std::int32_t number_to_i32(double x) {
  const double r = round_half_even(x);
  if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

std::int64_t number_to_i64(double x) {
  const double r = round_half_even(x);
  // 2^63 itself is out of range; -2^63 is representable.
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0)) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(r);
}

std::uint64_t number_to_u64(double x) {
  const double r = round_half_even(x);
  if (r >= 0.0 && r < 18446744073709551616.0) return static_cast<std::uint64_t>(r);
  if (r < 0.0 && r >= -9223372036854775808.0) return static_cast<std::uint64_t>(static_cast<std::int64_t>(r));
  return 0;
}

std::int64_t callback_result(double x) {
  if (std::isnan(x)) return 0;
  const double r = round_half_even(x);
  if (r >= 9223372036854775808.0) return std::numeric_limits<std::int64_t>::max();
  if (r < -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(r);
}
