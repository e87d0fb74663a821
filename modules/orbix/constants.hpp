#pragma once

#include <SDL_stdinc.h>

#include <cstddef>

namespace orbix {

struct Constant {
  const char* name;
  Sint32 value;
};

extern const Constant kConstants[];
extern const size_t kConstantCount;

}  // namespace orbix
