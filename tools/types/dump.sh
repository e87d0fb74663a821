#!/usr/bin/env bash
# Lists the scripting surface of a win64 build (see dump.lua): runs dump.lua
# as init.lua of a fresh copy of scripthost.exe and with the build's lua.exe,
# under the build's Wine runner, and writes the combined listing.
#
#   dump.sh WINE_RUN BIN_DIR WORK_DIR OUT_FILE
set -u
if [ $# -ne 4 ]; then
  echo "usage: dump.sh WINE_RUN BIN_DIR WORK_DIR OUT_FILE" >&2
  exit 2
fi
wine_run=$(readlink -f "$1") bin=$(readlink -f "$2") work=$(readlink -m "$3") out=$(readlink -m "$4")
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work" && mkdir -p "$work/host" || exit 2
cp "$bin/scripthost.exe" "$bin/lua53.dll" "$work/host/" || exit 2
cp "$here/dump.lua" "$work/host/init.lua" || exit 2

# The interpreter finds the modules beside itself; a LUA_CPATH of the
# caller's must not send it elsewhere.
unset LUA_PATH LUA_CPATH LUA_PATH_5_3 LUA_CPATH_5_3

# timeout runs the program in a process group of its own and ends all of it.
timeout -k 5 60 "$wine_run" "$work/host/scripthost.exe" >"$work/host.out" 2>"$work/host.err"
rc=$?
[ "$rc" -eq 0 ] || { echo "dump.sh: scripthost.exe exited with $rc"; cat "$work/host.err"; exit 1; }
(cd "$work" && timeout -k 5 60 "$wine_run" "$bin/lua.exe" "Z:$here/dump.lua") >"$work/lua.out" 2>"$work/lua.err"
rc=$?
[ "$rc" -eq 0 ] || { echo "dump.sh: lua.exe exited with $rc"; cat "$work/lua.err"; exit 1; }

tr -d '\r' <"$work/host.out" >"$work/host.txt"
tr -d '\r' <"$work/lua.out" >"$work/lua.txt"
for scope in host lua orbix lua_fsop setvar; do
  grep -q "^$scope " "$work/host.txt" "$work/lua.txt" || { echo "dump.sh: nothing listed for $scope"; exit 1; }
done
mkdir -p "$(dirname "$out")" && cat "$work/host.txt" "$work/lua.txt" >"$out" || exit 2
echo "dump.sh: $(wc -l <"$out") entries in $out"
