// The byte accounting of the rich-edit memory streams: a text in a fixed
// buffer, read or written in pieces at a moving position. No Win32 calls, so
// the bounds can be tested natively. A text comes into the buffer through
// copy_cut (text_bounds.hpp).
#pragma once

#include <cstddef>
#include <cstdint>

// What a stream callback reports back to the control: 0 lets the stream go
// on; anything else stops it (the control stores the value as its error).
constexpr std::uint32_t kStreamGoOn = 0;
constexpr std::uint32_t kStreamBufferFull = 1;

// One piece of an outgoing stream: appends up to `requested` bytes of `piece`
// to `buffer` at `position`, never past `capacity - 1` (the last byte stays
// free for the terminating zero, which is written after the text after every
// piece). `done` receives the bytes taken and `position` advances by them.
// Returns kStreamGoOn when the whole piece fit, kStreamBufferFull when it did
// not, which stops the stream with the text that fit.
std::uint32_t stream_write_piece(char* buffer, std::size_t capacity, std::int32_t& position, const void* piece,
                                 std::int32_t requested, std::int32_t& done);

// One piece of an incoming stream: copies to `piece` the smaller of
// `requested` and the bytes left in `text` of `length` bytes after
// `position`. `done` receives that count (0 at the end of the text, which
// ends the stream) and `position` advances by it. Always kStreamGoOn.
std::uint32_t stream_read_piece(const char* text, std::size_t length, std::int32_t& position, void* piece,
                                std::int32_t requested, std::int32_t& done);
