#!/usr/bin/env bash
# The whole test suite: set-up, all builds, then one ctest run over every
# build tree (native, native with sanitizers, Windows under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh linux linux-asan win64

# One virtual display and one Wine server for the whole run.
xvfb_pid=
cleanup() {
  WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 190); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    break
  done
fi

cat >build/CTestTestfile.cmake <<'CT'
# Written by scripts/test.sh: one ctest run over every build tree.
subdirs("linux" "linux-asan" "win64")
CT
ctest --test-dir build --output-on-failure -j2 "$@"
