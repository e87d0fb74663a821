#!/usr/bin/env bash
# Packages the orbix benchmark uses and the tests do not: the peer runtime of
# the read-modify-write comparison (love) and perf for profiling by hand.
# Quiet when both are present; without root or a package source it says so
# and the benchmark goes on without them.
set -uo pipefail
need=()
command -v love >/dev/null 2>&1 || need+=(love)
command -v perf >/dev/null 2>&1 || need+=(linux-perf)
[ ${#need[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "bench setup: ${need[*]} missing and not root; going on without" >&2
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
if ! apt-get install -y -q "${need[@]}" >/dev/null 2>&1; then
  apt-get update -q >/dev/null 2>&1
  apt-get install -y -q "${need[@]}" >/dev/null 2>&1 ||
    echo "bench setup: could not install ${need[*]}; going on without" >&2
fi
exit 0
