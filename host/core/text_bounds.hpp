// Bounds for the fixed text buffers the message bindings hand to controls.
// Controls write into these buffers without knowing their size, so every
// size that reaches a control is worked out here first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "narrow.hpp"

// Copies `src` (of `len` bytes) into `dst` of `cap` bytes: at most cap - 1
// bytes, cut at the first zero byte, always terminated. Returns the number
// of bytes copied. cap 0 copies nothing.
std::size_t copy_cut(char* dst, std::size_t cap, const char* src, std::size_t len);

// Whether a text of `units` characters, each taking at most `max_char_size`
// bytes once converted, fits with its terminator into `cap` bytes.
// A negative count (a failed length query) never fits.
bool text_fits(std::int64_t units, int max_char_size, std::size_t cap);

// The size a control may assume for a buffer of `cap` bytes when the script
// names one (WM_GETTEXT's wParam, EM_GETLINE's leading word): never more
// than the buffer, never negative.
std::uint64_t clamp_request(std::uint64_t requested, std::size_t cap);

// How a rich-edit text range is fetched into a UTF-16 buffer of
// `wide_units` units and converted into a byte buffer of `byte_cap` bytes.
struct TextRangePlan {
  bool send;            // false: nothing can come out, leave the control alone
  std::int32_t cp_min;  // range sent to the control
  std::int32_t cp_max;
  int convert_bytes;  // byte count given to the conversion
};
// `first` and `last` are the script's values cut to 32 bits. The byte count
// is last - first + 1 (so last = -1 from 0 converts nothing), limited to the
// byte buffer; the range sent never holds more units than the wide buffer
// takes with its terminator ("to the end" included).
TextRangePlan plan_text_range(std::int32_t first, std::int32_t last, std::size_t wide_units, std::size_t byte_cap);

// Date fields: records keep 16-bit unsigned fields, written from the low 16
// bits of a script's integer (glue::low16_unsigned); the day of the week
// counts from 1 (Sunday) for scripts and from 0 in the record.
inline std::int64_t wday_from_record(std::uint16_t day_of_week) { return static_cast<std::int64_t>(day_of_week) + 1; }
inline std::uint16_t wday_to_record(std::int64_t wday) { return glue::low16_unsigned(wday - 1); }
