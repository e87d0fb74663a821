#!/usr/bin/env bash
# orbix benchmarks, each a ratio against a baseline measured in the same run:
#  (a) SDL2_gfx primitives and RenderCopy driven from Lua against the same C loops;
#  (b) get_surface_rgba / set_surface_rgba over 512x512 pixels against a no-op
#      binding with the same arguments and against a C loop over the module's
#      exported pixel functions;
#  (c) poll over 100,000 pushed events against a C loop reading the same fields.
# Usage: bench/orbix/run.sh [build-dir] [scale]   (default build/linux; a
# sanitizer build gives meaningless figures). Uses SDL's dummy video driver
# (software renderer), as the tests do.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build/linux}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset linux -B "$build" -S "$here/../.." >/dev/null
fi
build=$(cd "$build" && pwd)
cmake --build "$build" --target orbix bench_orbix >/dev/null
SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
  "$build/bench/bench_orbix" "$build/bin/orbix.so" "${2:-1}"
