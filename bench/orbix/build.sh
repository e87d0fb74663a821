# Sourced by run.sh and count.sh: configures the build tree given as $1
# (default build/linux) when it has never been, builds the module and the
# benchmark in it, and sets `root` and `build` (absolute paths).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${1:-$root/build/linux}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset linux -B "$build" -S "$root" >/dev/null
fi
build=$(cd "$build" && pwd)
cmake --build "$build" --target orbix bench_orbix >/dev/null
