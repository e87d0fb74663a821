#!/usr/bin/env bash
# orbix benchmarks, each a ratio against a baseline measured in the same run
# (bench_orbix.cpp says what each line compares). Every goal's line ends with
# "met" or "MISSED".
# Usage: bench/orbix/run.sh [build-dir] [scale]   (default build/linux; a
# sanitizer build gives meaningless figures). ROUNDS=n sets the rounds per
# comparison (default 7, medians), ONLY=word runs the comparisons whose name
# contains it (copy16, circle8, line, prims5, get., set., rmw, poll).
# Uses SDL's dummy video driver (software renderer), as the tests do. The peer
# runtime (LOVE, Debian package love, installed by setup.sh) runs under a
# virtual X display; when it cannot start, the benchmark says so and goes on.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=build.sh
. "$here/build.sh"
bash "$here/setup.sh"

args=(--rounds "${ROUNDS:-7}" --scale "${2:-1}")
[ -n "${ONLY:-}" ] && args+=(--only "$ONLY")
runtime_dir=$(mktemp -d)
cleanup() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$runtime_dir"
}
trap cleanup EXIT
# shellcheck source=../../tools/xvfb.sh
. "$root/tools/xvfb.sh"
[ -n "${DISPLAY:-}" ] || start_xvfb || true
args+=(--peer "XDG_RUNTIME_DIR='$runtime_dir' love '$here/love' 2>/dev/null")
SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
  "$build/bench/bench_orbix" "$build/bin/orbix.so" "${args[@]}"
