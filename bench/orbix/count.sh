#!/usr/bin/env bash
# The orbix benchmark's comparisons as instruction counts: bench_orbix runs
# once under callgrind, each side of each comparison is counted on its own,
# and every line gives both counts and their ratio (baseline / subject, the
# rate the instructions alone would give). Counts do not depend on the
# machine's load, so they show the effect of a change where timings on a
# busy machine cannot; they do not replace the timed run (a cache miss or a
# mispredicted branch costs more than an instruction). The peer runtime runs
# in another process and is not counted here.
# Usage: bench/orbix/count.sh [build-dir] [module.so]   (ONLY=word as in run.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=build.sh
. "$here/build.sh"
module=${2:-$build/bin/orbix.so}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
args=(--rounds 1)
[ -n "${ONLY:-}" ] && args+=(--only "$ONLY")
SDL_VIDEODRIVER=${SDL_VIDEODRIVER:-dummy} SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
  valgrind --tool=callgrind --callgrind-out-file="$out/cg.%p" \
  "$build/bench/bench_orbix" "$module" "${args[@]}" >"$out/bench.txt" 2>"$out/valgrind.txt" ||
  { cat "$out/valgrind.txt" >&2; exit 1; }
echo "orbix benchmark, instructions (callgrind, one round; rate = baseline / subject)"
for f in $(printf '%s\n' "$out"/cg.*.* | awk -F. '{ print $NF, $0 }' | sort -n | cut -d' ' -f2-); do
  label=$(sed -n 's/^desc: Trigger: Client Request: //p' "$f")
  count=$(sed -n 's/^summary: //p; s/^totals: //p' "$f" | head -n1)
  [ -n "$label" ] && printf '%s|%s\n' "$label" "$count"
done | awk -F'|' '
  { key = $1; if (!(key in order)) { order[key] = ++n; names[n] = key }
    ir[key, $2] = $4; goal[key] = $3 }
  END {
    for (i = 1; i <= n; ++i) {
      k = names[i]; s = ir[k, "subject"]; b = ir[k, "baseline"]
      if (k ~ /peer/ || s == "" || b == "" || s == 0) continue
      line = sprintf("%-33s subject %13.0f  baseline %13.0f  rate %5.2f", k, s, b, b / s)
      if (goal[k] != "") {
        strict = substr(goal[k], 1, 2) != ">="; want = substr(goal[k], strict ? 2 : 3) + 0
        met = strict ? (b / s > want) : (b / s >= want)
        line = line sprintf("  goal %s %s", goal[k], met ? "met" : "MISSED")
      }
      print line
    }
  }'
