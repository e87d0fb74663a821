#!/bin/sh
# Runs the native module tests and a longer fuzz pass under valgrind's
# memcheck (not part of ctest: it takes minutes).
#   tests/fuzz/valgrind.sh [build-dir]     default build/linux (a non-ASan tree)
#   FUZZ_TUPLES=n  tuples per function for the fuzz pass (default 300)
# Prints one line per script and exits non-zero when memcheck reported errors.
set -u
src=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$src/build/linux}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
supp="$src/tests/fuzz/valgrind.supp"

export LUA_CPATH="$build/bin/?.so"
export LUA_PATH="$src/tests/support/?.lua;$src/tests/fuzz/?.lua;$src/tests/orbix/?.lua"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy DISPLAY= WAYLAND_DISPLAY=
export FUZZ_TUPLES="${FUZZ_TUPLES:-300}"
# memcheck runs SDL's pixel loops 20 to 50 times slower, and on a busy machine
# a big blit or zoom then passes the fuzzer's 10 s limit for a hung call.
export FUZZ_SLOW_SECONDS="${FUZZ_SLOW_SECONDS:-300}"

failed=0
run() {  # name, script, env...
  name=$1 script=$2
  shift 2
  mkdir -p "$work/$name"
  (cd "$work/$name" && env TEST_WORK_DIR="$work/$name" "$@" valgrind --quiet --error-exitcode=99 \
    --suppressions="$supp" --num-callers=30 --log-file="$work/$name.vg" lua5.3 "$script" >"$work/$name.out" 2>&1)
  rc=$?
  errors=$(grep -c '^==[0-9]*== [A-Z]' "$work/$name.vg" 2>/dev/null || true)
  printf '%-28s exit %3d  memcheck lines %s\n' "$name" "$rc" "$errors"
  if [ "$rc" -ne 0 ]; then
    failed=1
    head -60 "$work/$name.vg"
    grep -a '^PROBLEM' "$work/$name.out" | head -20
    tail -5 "$work/$name.out"
  fi
}

for t in module_table ownership video textures surfaces primitives audio fonts controllers framerate robustness; do
  run "orbix_$t" "$src/tests/orbix/$t.lua"
done
run fsop "$src/tests/fsop/test_fsop.lua"
run setvar "$src/tests/setvar/test_setvar.lua"
for m in fsop setvar orbix; do
  run "fuzz_$m" "$src/tests/fuzz/fuzz_modules.lua" FUZZ_MODULE=$m FUZZ_SEED="${FUZZ_SEED:-1}"
  grep '^fuzz .*calls' "$work/fuzz_$m.out"
done
exit $failed
