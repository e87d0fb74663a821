#!/usr/bin/env bash
# Builds one rockspec with Debian's luarocks into a temporary tree and loads
# the module from that tree in Debian's lua5.3.
#
#   rock_test.sh ROCK VERSION SOURCE WORK [REFERENCE_DIR]
#
# The sources are copied first: `luarocks make` writes its objects beside
# them. REFERENCE_DIR holds the same module built by CMake; check_rock.lua
# compares the two.
set -u
rock=$1 version=$2 src=$3 work=$4 reference=${5:-}
spec="rockspecs/$rock-$version-1.rockspec"
rm -rf "$work" && mkdir -p "$work/src" "$work/home" || exit 2
[ -f "$src/$spec" ] || { echo "FAIL: no $spec for the project's version $version"; exit 1; }
cp -r "$src/rockspecs" "$src/modules" "$src/glue" "$work/src/" || exit 2

# Its own home: luarocks keeps caches and settings there.
export HOME="$work/home"
(cd "$work/src" && luarocks --lua-version 5.3 --tree "$work/tree" make "$spec") || { echo "FAIL: luarocks make $spec"; exit 1; }
luarocks --lua-version 5.3 --tree "$work/tree" list --porcelain | grep -q "^$rock	$version-1	installed" ||
  { echo "FAIL: $rock $version-1 is not listed in the tree"; exit 1; }

eval "$(luarocks --lua-version 5.3 --tree "$work/tree" path)"
cd "$work" && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  lua5.3 "$(dirname "$0")/check_rock.lua" "$rock" "$work/tree/lib/lua/5.3" "$reference"
