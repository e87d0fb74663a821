#!/usr/bin/env bash
# Host benchmarks, each a ratio against a baseline measured in the same run:
#  1. messages per second through dialog_callback (a script sending messages to
#     its own main window) against a C dialog procedure receiving the same
#     messages from C;
#  2. start-up time to the first line of init.lua against a minimal dialog
#     program reaching WM_INITDIALOG (both include Wine's process start).
# Usage: bench/host/run.sh [build-dir]   (default build/win64, built already)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build/win64}
build=$(cd "$build" && pwd)
cmake --build "$build" --target scripthost bench_dialog >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/bin/scripthost.exe" "$build/bin/lua53.dll" "$work/"
run() { "$build/wine-run" "$@" | tr -d '\r'; }

export BENCH_MESSAGES=${BENCH_MESSAGES:-200000}
cp "$here/messages.lua" "$work/init.lua"
run "$work/scripthost.exe" >/dev/null   # warm the prefix
lua_rate=$(run "$work/scripthost.exe")
c_rate=$(run "$build/bench/bench_dialog.exe" messages "$BENCH_MESSAGES")
echo "messages/s through dialog_callback: $lua_rate"
echo "messages/s to a C dialog procedure: $c_rate"
awk -v a="$lua_rate" -v b="$c_rate" 'BEGIN { printf "ratio (script / C): %.3f\n", a / b }'

cp "$here/startup.lua" "$work/init.lua"
time_runs() {  # command... -> mean seconds over 10 runs
  local t0 t1
  t0=$(date +%s.%N)
  for _ in $(seq 10); do run "$@" >/dev/null; done
  t1=$(date +%s.%N)
  awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", (b - a) / 10 }'
}
host_t=$(time_runs "$work/scripthost.exe")
base_t=$(time_runs "$build/bench/bench_dialog.exe" startup)
echo "start-up to the first line of init.lua: ${host_t}s"
echo "start-up of a minimal dialog program:   ${base_t}s"
awk -v a="$host_t" -v b="$base_t" 'BEGIN { printf "ratio (scripthost / minimal): %.3f\n", a / b }'
