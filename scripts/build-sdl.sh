#!/usr/bin/env bash
# Cross-builds the SDL2 family for 64-bit Windows (x86_64-w64-mingw32) from
# Debian's source packages into a prefix in the cache, outside the work tree:
#   SDL2.dll, SDL2_image.dll, SDL2_mixer.dll, SDL2_ttf.dll (freetype linked in
#   statically), SDL2_gfx.dll, with headers, import libraries, CMake configs
#   and pkg-config files, plus the licence texts of every package.
# The prefix is keyed by the source versions and the recipe number below, so
# a second run finds it and does nothing (and prints nothing). The path of the
# prefix is written to "$CACHE/sdl-prefix", where cmake/SDLWindows.cmake reads
# it. Called by scripts/setup.sh; needs the packages that script installs.
set -euo pipefail

CACHE="${SCRIPTHOST_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/scripthost}"
TRIPLE=x86_64-w64-mingw32
# Part of the cache key with the source versions: raise it whenever a change
# here changes what gets built, so every machine rebuilds once.
RECIPE=1

log() { echo "setup: $*" >&2; }

# source package -> binary package whose installed version names the source
declare -A BIN=(
  [libsdl2]=libsdl2-dev [libsdl2-image]=libsdl2-image-dev [libsdl2-mixer]=libsdl2-mixer-dev
  [libsdl2-ttf]=libsdl2-ttf-dev [libsdl2-gfx]=libsdl2-gfx-dev [freetype]=libfreetype-dev
)
ORDER=(freetype libsdl2 libsdl2-image libsdl2-mixer libsdl2-ttf libsdl2-gfx)

declare -A VER
for pkg in "${ORDER[@]}"; do
  v=$(dpkg-query -W -f='${source:Version}' "${BIN[$pkg]}" 2>/dev/null || true)
  [ -n "$v" ] || v=$(apt-cache showsrc "$pkg" 2>/dev/null | awk '/^Version:/{print $2; exit}')
  [ -n "$v" ] || { log "no version known for source package $pkg"; exit 1; }
  VER[$pkg]=$v
done

key=$( { for pkg in "${ORDER[@]}"; do echo "$pkg=${VER[$pkg]}"; done; echo "recipe=$RECIPE"; } | sha256sum | cut -c1-12)
PREFIX="$CACHE/sdl-win64-$key"

if [ -f "$PREFIX/.done" ]; then
  # Already built: only make sure the pointer file names this prefix.
  if [ "$(cat "$CACHE/sdl-prefix" 2>/dev/null)" != "$PREFIX" ]; then echo "$PREFIX" >"$CACHE/sdl-prefix"; fi
  exit 0
fi

# Unpacks a Debian source package once into the cache (same layout as the Lua
# source that scripts/setup.sh fetches) and prints its source tree.
fetch_source() {  # package version
  local pkg=$1 ver=$2 dir="$CACHE/src/$1-$2" tree
  if [ ! -f "$dir/.done" ]; then
    log "fetching source of $pkg $ver"
    rm -rf "$dir"; mkdir -p "$dir"
    # Some packages lack their Debian diff on the mirror: apt-get then fails
    # after fetching the upstream tarball, which is all the build needs.
    (cd "$dir" && apt-get source -qq "$pkg=$ver" >/dev/null 2>&1) || true
    if [ -z "$(find "$dir" -mindepth 1 -maxdepth 1 -type d)" ]; then
      local orig
      orig=$(find "$dir" -maxdepth 1 -name '*.orig.tar.*' ! -name '*.asc' | head -n1)
      [ -n "$orig" ] || { log "apt-get source $pkg=$ver fetched nothing"; exit 1; }
      tar -C "$dir" -xf "$orig"
    fi
    touch "$dir/.done"
  fi
  tree=$(find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n1)
  echo "$tree"
}

declare -A SRC
for pkg in "${ORDER[@]}"; do SRC[$pkg]=$(fetch_source "$pkg" "${VER[$pkg]}"); done

log "cross-building the SDL2 family for Windows (about 2 minutes)"
WORK="$CACHE/sdl-build-$key"
STAGE="$WORK/stage"            # freetype: static, linked into SDL2_ttf.dll only
rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK" "$PREFIX"

cat >"$WORK/toolchain.cmake" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $TRIPLE-gcc-posix)
set(CMAKE_CXX_COMPILER $TRIPLE-g++-posix)
set(CMAKE_RC_COMPILER $TRIPLE-windres)
set(CMAKE_STRIP $(command -v $TRIPLE-strip))
set(CMAKE_FIND_ROOT_PATH /usr/$TRIPLE "$PREFIX" "$STAGE")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The DLLs carry libgcc: no compiler DLL ships with them.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc")
EOF

# One CMake project, configured, built and installed with its output in its
# own log; on failure the end of that log is shown. -O2 rather than CMake's
# -O3: quicker to build, smaller DLLs.
jobs=$(nproc)
build() {  # name source install-prefix cmake-args...
  local name=$1 src=$2 inst=$3 log="$WORK/$1.log"; shift 3
  if ! { cmake -S "$src" -B "$WORK/$name" -G Ninja -Wno-dev \
           -DCMAKE_TOOLCHAIN_FILE="$WORK/toolchain.cmake" -DCMAKE_BUILD_TYPE=Release \
           -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
           -DCMAKE_INSTALL_PREFIX="$inst" -DCMAKE_INSTALL_LIBDIR=lib "$@" &&
         cmake --build "$WORK/$name" -j"$jobs" &&
         cmake --install "$WORK/$name" --strip; } >"$log" 2>&1; then
    log "building $name failed; end of $log:"
    tail -n 30 "$log" >&2
    return 1
  fi
}

# Runs the given functions at once and fails when any of them failed.
together() {
  local pids=() f rc=0
  for f in "$@"; do "$f" & pids+=($!); done
  for f in "${pids[@]}"; do wait "$f" || rc=1; done
  return $rc
}

build_freetype() {
  build freetype "${SRC[freetype]}" "$STAGE" -DBUILD_SHARED_LIBS=OFF \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

# OpenGL ES on Windows needs driver DLLs that nobody ships: its renderer goes.
build_sdl2() {
  build SDL2 "${SRC[libsdl2]}" "$PREFIX" -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF -DSDL_TESTS=OFF \
    -DSDL2_DISABLE_SDL2MAIN=ON -DSDL2_DISABLE_UNINSTALL=ON -DSDL_CCACHE=OFF -DSDL_OPENGLES=OFF
}

sdl=(-DSDL2_DIR="$PREFIX/lib/cmake/SDL2" -DBUILD_SHARED_LIBS=ON)

# PNG and JPEG through the built-in stb_image / miniz / tiny_jpeg; formats
# that need outside libraries are off.
build_image() {
  build SDL2_image "${SRC[libsdl2-image]}" "$PREFIX" "${sdl[@]}" -DSDL2IMAGE_VENDORED=OFF -DSDL2IMAGE_SAMPLES=OFF \
    -DSDL2IMAGE_TESTS=OFF -DSDL2IMAGE_DEPS_SHARED=OFF -DSDL2IMAGE_BACKEND_STB=ON -DSDL2IMAGE_BACKEND_WIC=OFF \
    -DSDL2IMAGE_AVIF=OFF -DSDL2IMAGE_JXL=OFF -DSDL2IMAGE_TIF=OFF -DSDL2IMAGE_WEBP=OFF
  # The installed config asks for the JPEG and PNG packages even though the
  # stb backend needs neither, which breaks find_package(SDL2_image).
  local cfg="$PREFIX/lib/cmake/SDL2_image/SDL2_imageConfig.cmake"
  sed -i -E 's/^if\(SDL2IMAGE_(JPG|PNG) AND NOT SDL2IMAGE_VENDORED/if(SDL2IMAGE_\1 AND NOT SDL2IMAGE_BACKEND_STB AND NOT SDL2IMAGE_VENDORED/' "$cfg"
  [ "$(grep -c 'AND NOT SDL2IMAGE_BACKEND_STB AND NOT SDL2IMAGE_VENDORED' "$cfg")" -eq 2 ] \
    || { log "SDL2_image config: the JPEG/PNG dependency lines were not found"; return 1; }
}

# WAV, OGG (stb_vorbis), MP3 (dr_mp3), FLAC (dr_flac) and MIDI (timidity,
# native) are built in; the decoders that need outside libraries are off.
build_mixer() {
  build SDL2_mixer "${SRC[libsdl2-mixer]}" "$PREFIX" "${sdl[@]}" -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC_LIBFLAC=OFF -DSDL2MIXER_FLAC_DRFLAC=ON \
    -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3_DRMP3=ON -DSDL2MIXER_MP3_MPG123=OFF -DSDL2MIXER_MIDI_FLUIDSYNTH=OFF \
    -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=STB
}

build_ttf() {
  build SDL2_ttf "${SRC[libsdl2-ttf]}" "$PREFIX" "${sdl[@]}" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF \
    -DSDL2TTF_SAMPLES=OFF -DFREETYPE_LIBRARY="$STAGE/lib/libfreetype.a" \
    -DFREETYPE_INCLUDE_DIR_ft2build="$STAGE/include/freetype2" \
    -DFREETYPE_INCLUDE_DIR_freetype2="$STAGE/include/freetype2"
}

# SDL2_gfx ships only autotools files: its four C files build with this small
# project. USE_MMX stays undefined (its MMX code is 32-bit MSVC assembly);
# mingw's linker exports the functions without dllexport markers.
gfxsrc="${SRC[libsdl2-gfx]}"
gfxver=$(echo "${VER[libsdl2-gfx]}" | sed 's/[+~-].*//')
build_gfx() {
  mkdir -p "$WORK/gfx-src"
  cat >"$WORK/gfx-src/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.16)
project(SDL2_gfx VERSION $gfxver LANGUAGES C)
find_package(SDL2 CONFIG REQUIRED)
set(src "$gfxsrc")
add_library(SDL2_gfx SHARED \${src}/SDL2_framerate.c \${src}/SDL2_gfxPrimitives.c
  \${src}/SDL2_imageFilter.c \${src}/SDL2_rotozoom.c)
set_target_properties(SDL2_gfx PROPERTIES PREFIX "" OUTPUT_NAME SDL2_gfx IMPORT_PREFIX lib)
target_link_libraries(SDL2_gfx PRIVATE SDL2::SDL2)
target_compile_options(SDL2_gfx PRIVATE -w)
install(TARGETS SDL2_gfx RUNTIME DESTINATION bin ARCHIVE DESTINATION lib)
install(FILES \${src}/SDL2_framerate.h \${src}/SDL2_gfxPrimitives.h \${src}/SDL2_gfxPrimitives_font.h
  \${src}/SDL2_imageFilter.h \${src}/SDL2_rotozoom.h DESTINATION include/SDL2)
EOF
  build SDL2_gfx "$WORK/gfx-src" "$PREFIX" "${sdl[@]}"
  mkdir -p "$PREFIX/lib/pkgconfig"
  cat >"$PREFIX/lib/pkgconfig/SDL2_gfx.pc" <<EOF
prefix=$PREFIX
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: SDL2_gfx
Description: drawing and graphical effects extension for SDL
Version: $gfxver
Requires: sdl2
Libs: -L\${libdir} -lSDL2_gfx
Cflags: -I\${includedir}/SDL2
EOF
}

# freetype is independent of SDL2; the four companions need only SDL2 (and
# SDL2_ttf the static freetype).
together build_freetype build_sdl2
together build_image build_mixer build_ttf build_gfx

# Licence texts, shipped with the DLLs: each upstream licence file and the
# Debian copyright file (which also covers the decoders bundled in the
# sources). SDL2_gfx states its licence in its source headers.
lic="$PREFIX/licenses"
for pkg in "${ORDER[@]}"; do
  d="$lic/$pkg"; mkdir -p "$d"; s="${SRC[$pkg]}"
  for f in LICENSE.txt LICENSE.TXT COPYING docs/FTL.TXT docs/GPLv2.TXT debian/copyright; do
    if [ -f "$s/$f" ]; then cp "$s/$f" "$d/$(echo "$f" | tr / -)"; fi
  done
  echo "${VER[$pkg]}" >"$d/VERSION"
done
sed -n '1,/\*\//p' "$gfxsrc/SDL2_gfxPrimitives.c" >"$lic/libsdl2-gfx/LICENSE-notice.txt"
rm -rf "$PREFIX/share/licenses"

{ for pkg in "${ORDER[@]}"; do echo "$pkg ${VER[$pkg]}"; done; } >"$PREFIX/VERSIONS"
touch "$PREFIX/.done"
echo "$PREFIX" >"$CACHE/sdl-prefix"
rm -rf "$WORK"
# Prefixes of older versions are of no further use.
find "$CACHE" -maxdepth 1 -name 'sdl-win64-*' ! -path "$PREFIX" -exec rm -rf {} +
