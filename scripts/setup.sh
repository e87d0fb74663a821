#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine and
# fetches the Debian source packages that are cross-compiled for Windows.
# Idempotent: when everything is present it does nothing and prints nothing.
set -euo pipefail

CACHE="${SCRIPTHOST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/scripthost}"
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  cmake ninja-build pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth x11-utils
  libgtest-dev lua5.3 liblua5.3-dev lua-check
  libsdl2-dev libsdl2-image-dev libsdl2-mixer-dev libsdl2-ttf-dev libsdl2-gfx-dev
  fonts-dejavu-core imagemagick valgrind
  luarocks
)

log() { echo "setup: $*" >&2; }

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

# Debian source entries are derived from the machine's own binary entries, so
# no mirror is ever named here.
have_deb_src() {
  grep -rqsE '^\s*deb-src\s' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null && return 0
  grep -rqsE '^Types:.*\bdeb-src\b' /etc/apt/sources.list.d/*.sources 2>/dev/null
}

enable_deb_src() {
  local out=/etc/apt/sources.list.d/scripthost-deb-src.sources tmp f
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    [ "$f" = "$out" ] && continue
    # Copy each stanza whose type is plain "deb" and which uses Debian's own
    # archive key, rewriting its type to deb-src.
    awk 'BEGIN{RS=""; ORS="\n\n"}
         /(^|\n)Types:[ \t]*deb[ \t]*(\n|$)/ && /debian-archive-keyring/ {
           sub(/(^|\n)Types:[ \t]*deb[ \t]*/, "\nTypes: deb-src"); sub(/^\n/, ""); print }' "$f" >>"$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^\s*deb\s\+\(\[[^]]*\]\s\+\)\?/deb-src \1/p' /etc/apt/sources.list \
      >/etc/apt/sources.list.d/scripthost-deb-src.list.tmp || true
    if [ -s /etc/apt/sources.list.d/scripthost-deb-src.list.tmp ]; then
      as_root mv /etc/apt/sources.list.d/scripthost-deb-src.list.tmp /etc/apt/sources.list.d/scripthost-deb-src.list
    else
      as_root rm -f /etc/apt/sources.list.d/scripthost-deb-src.list.tmp
    fi
  fi
  if [ -s "$tmp" ]; then as_root install -m 644 "$tmp" "$out"; fi
  rm -f "$tmp"
}

updated=0
apt_update() { [ "$updated" = 1 ] || { log "apt-get update"; as_root apt-get update -qq >/dev/null; updated=1; }; }

if ! have_deb_src; then
  log "enabling Debian source entries"
  enable_deb_src
  updated=0
  apt_update
fi

mapfile -t need < <(missing_packages)
if [ "${#need[@]}" -gt 0 ]; then
  apt_update
  log "installing ${need[*]}"
  as_root apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Debian's Lua 5.3 source, unpacked once into the cache (keyed by its version).
fetch_source() {  # package -> prints the unpacked directory
  local pkg=$1 ver dir
  ver=$(dpkg-query -W -f='${Version}' "$2" 2>/dev/null || true)
  [ -n "$ver" ] || ver=$(apt-cache policy "$pkg" | awk '/Candidate:/{print $2}')
  dir="$CACHE/src/$pkg-$ver"
  if [ ! -f "$dir/.done" ]; then
    apt_update
    log "fetching source of $pkg $ver"
    rm -rf "$dir"; mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq "$pkg=$ver" >/dev/null 2>&1 || apt-get source -qq "$pkg" >/dev/null)
    touch "$dir/.done"
  fi
  echo "$dir"
}

luadir=$(fetch_source lua5.3 liblua5.3-dev)
luasrc=$(find "$luadir" -maxdepth 3 -type f -name lapi.c -path '*/src/*' | head -n1)
[ -n "$luasrc" ] || { log "no Lua source found in $luadir"; exit 1; }
mkdir -p "$CACHE"
echo "$(dirname "$luasrc")" >"$CACHE/lua-src-dir"
bash "$(dirname "$0")/build-sdl.sh"  # the SDL2 family for Windows, cross-built once into the cache
