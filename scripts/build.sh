#!/usr/bin/env bash
# Configures and builds the given presets (default: linux linux-asan win64).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(linux linux-asan win64)
for p in "${presets[@]}"; do
  [ -f "build/$p/build.ninja" ] || cmake --preset "$p" >/dev/null
  cmake --build --preset "$p" -- -j"$(nproc)" | grep -vE '^\[[0-9]+/[0-9]+\] ' || true
  [ "${PIPESTATUS[0]}" -eq 0 ] || exit 1
done
