#!/usr/bin/env bash
# The whole test suite: set-up, all builds, then one ctest run over every
# build tree (native, native with sanitizers, Windows under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh linux linux-asan win64

# One virtual display and one Wine server for the whole run.
source tools/xvfb.sh
cleanup() {
  WINEPREFIX="$PWD/build/win64/wineprefix" wineserver -k >/dev/null 2>&1 || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  return 0
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
fi

# ctest runs once per build tree (the trees share test names), then one
# closing line counts them all.
rc=0 passed=0 failed=0
for tree in linux linux-asan win64; do
  echo "=== tests of build/$tree"
  set +e
  ctest --test-dir "build/$tree" --output-on-failure -j2 "$@" | tee "build/$tree/ctest.log"
  status=${PIPESTATUS[0]}
  set -e
  [ "$status" -eq 0 ] || rc=1
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "build/$tree/ctest.log" | tail -n1)
  if [ -n "$line" ]; then
    f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')
    n=$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/')
    passed=$((passed + n - f)); failed=$((failed + f))
  else
    rc=1
  fi
done
echo
echo "total: $passed passed, $failed failed"
exit $rc
