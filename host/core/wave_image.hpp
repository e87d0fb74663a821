// Sounds played from memory: the system parses a WAV image by the sizes in
// its own headers, so an image must not claim more bytes than it has.
#pragma once

#include <cstddef>

// True when `data` (of `size` bytes) starts a RIFF/WAVE image whose RIFF
// size, plus its 8-byte header, lies within `size`.
bool wave_image_fits(const char* data, std::size_t size);
