#!/usr/bin/env bash
# Packs apps with scripthost-pack under Wine and checks the folders it makes,
# as a user would meet them.
#
#   pack_test.sh MODE BIN WORK WINE_RUN SOURCE PACK_CHECK
#
#   example  the bundled example app with a four-size icon, a version and
#            --utf8: folder contents, resources read back, then a copy of the
#            folder under a path with spaces and accented letters runs and
#            its window shows the new icon
#   orbix    the game shell example: orbix.dll and the SDL DLLs come along;
#            it runs with its main window hidden until its game window closes
#   modules  an app using no module gets no module or SDL DLL (packed with
#            scripts/pack.sh); one using lua_fsop and setvar gets exactly
#            those, and both run
#   errors   each bad input: non-zero exit, a message naming the problem,
#            nothing written or overwritten; a failure half-way through
#            leaves no half-made folder
set -u
mode=$1 bin=$2 work=$3 wine_run=$4 src=$5 pack_check=$6
pack="$bin/scripthost-pack.exe"
fail=0
bad() { echo "FAIL: $*"; fail=1; }

rm -rf "$work" && mkdir -p "$work" || exit 2

# One display for the packer, the apps and the checker (they must meet on it).
source "$src/tools/xvfb.sh"
trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null' EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 2
fi

# run_limited: one Windows program under the runner with a time limit.
source "$src/tools/run-limited.sh"

# pack NAME_OF_LOG args...: runs the packer (PACK, default the build's); its
# output lands in WORK/NAME.out.
pack() {
  local log=$1; shift
  run_limited 60 "$work/$log.out" "$wine_run" "${PACK:-$pack}" "$@"
  local rc=$?
  tr -d '\r' <"$work/$log.out" >"$work/$log.txt"
  echo "--- scripthost-pack $* (exit code $rc)"; cat "$work/$log.txt"
  return $rc
}

# Files of a folder, relative, sorted.
files_of() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }

# The DLLs of a folder, sorted, on one line.
dlls_of() { (cd "$1" && ls -1 *.dll 2>/dev/null | LC_ALL=C sort | tr '\n' ' '); }

expect_dlls() {  # folder "dll list"
  local got
  got=$(dlls_of "$1")
  [ "$got" = "$2" ] || bad "$(basename "$1"): DLLs are [$got], expected [$2]"
}

# Every file of the app arrived unchanged, with its folder.
expect_app_files() {  # app_folder packed_folder
  local f
  while IFS= read -r f; do
    cmp -s "$1/$f" "$2/$f" || bad "app file $f missing or changed in the packed folder"
  done < <(files_of "$1")
}

example() {
  local ico="$work/four sizes.ico" name="Démo App" version=2.3.4.5
  convert -size 16x16 xc:red -size 32x32 xc:lime -size 48x48 xc:blue -size 256x256 xc:yellow "$ico" ||
    { bad "could not make the test icon"; return; }
  local out="$work/out/$name"
  pack pack --utf8 "$src/examples/app" "$out" --name "$name" --icon "$ico" --version $version ||
    bad "packing the example app failed"
  [ -d "$out" ] || return

  expect_dlls "$out" "lua53.dll "
  for f in "$name.exe" "$name.exe.manifest" lua53.dll licenses/lua5.3/LICENSE.txt; do
    [ -s "$out/$f" ] || bad "missing $f"
  done
  cmp -s "$out/$name.exe.manifest" "$src/manifests/utf-8/scripthost.exe.manifest" ||
    bad "the manifest is not the UTF-8 manifest"
  expect_app_files "$src/examples/app" "$out"
  local extra
  extra=$(files_of "$out" | grep -v -e "^$name.exe" -e '^lua53.dll$' -e '^licenses/lua5.3/' -e '^app_.*\.lua$' -e '^init.lua$')
  [ -z "$extra" ] || bad "unexpected files: $extra"
  echo "packed folder: $(du -sk "$out" | cut -f1) KiB, $(files_of "$out" | wc -l) files"

  run_limited 60 "$work/resources.out" "$wine_run" "$pack_check" resources "$out/$name.exe" "$ico" "$name" $version \
    "$bin/scripthost.exe"
  local rc=$?
  echo "--- resources (exit code $rc)"; tr -d '\r' <"$work/resources.out"
  [ "$rc" = 0 ] || bad "the packed program's resources"

  # Moved to a path with spaces and accented letters, it still runs as it is.
  local moved="$work/Chemin avec espaces/Déjà vu"
  mkdir -p "$moved" && cp -r "$out" "$moved/" || { bad "copying the folder"; return; }
  (
    run_limited 60 "$work/icon.out" "$wine_run" "$pack_check" window-icon "scripthost example" "$ico" 40000
    wrc=$?
    if [ "$wrc" = 3 ]; then
      # Under Wine: the icon the X desktop shows for the window.
      desktop_icon "scripthost example" "$ico[1]" >>"$work/icon.out" 2>&1 && wrc=0
      run_limited 30 "$work/close.out" "$wine_run" "$pack_check" close "scripthost example" 5000 || wrc=1
    fi
    exit $wrc
  ) &
  local watch=$!
  (cd "$moved/$name" && run_limited 60 "$work/app.out" "$wine_run" "$moved/$name/$name.exe")
  rc=$?
  wait "$watch"; local wrc=$?
  echo "--- $name.exe from $moved (exit code $rc)"; tr -d '\r' <"$work/app.out"
  echo "--- window icon (exit code $wrc)"; tr -d '\r' <"$work/icon.out"
  [ "$rc" = 0 ] || bad "the packed app exited with $rc"
  [ "$wrc" = 0 ] || bad "the packed app's window icon"
}

# desktop_icon CAPTION IMAGE: the icons Wine gives the X window of CAPTION
# (_NET_WM_ICON: width, height, then ARGB pixels, per icon) are all 32 x 32
# and pixel for pixel IMAGE (an ImageMagick image reference, such as
# "file.ico[1]" for the second image of an icon file).
desktop_icon() {
  local caption=$1 image=$2 xid values want
  xid=$(xwininfo -root -tree | grep -F "\"$caption\":" | awk '{print $1}' | head -n1)
  [ -n "$xid" ] || { echo "no X window captioned $caption"; return 1; }
  values=$(xprop -id "$xid" -notype 32c _NET_WM_ICON | sed 's/^[^=]*= *//' | tr -d ' ' | tr ',' '\n')
  want=$(convert "$image" -depth 8 bgra:- | od -An -v -tu4 -w4 | tr -d ' ')
  [ "$(echo "$want" | wc -l)" = 1024 ] || { echo "cannot read the expected 32 x 32 image"; return 1; }
  local icons=0
  while [ -n "$values" ]; do
    local w h
    w=$(echo "$values" | sed -n 1p) h=$(echo "$values" | sed -n 2p)
    [ "$w" = 32 ] && [ "$h" = 32 ] || { echo "desktop icon of ${w}x${h}, not 32x32"; return 1; }
    [ "$(echo "$values" | sed -n '3,1026p')" = "$want" ] || { echo "the desktop icon's pixels differ from $image"; return 1; }
    icons=$((icons + 1))
    values=$(echo "$values" | sed -n '1027,$p')
  done
  [ "$icons" -gt 0 ] || { echo "the window has no desktop icon"; return 1; }
  echo "desktop icon: $icons image(s) of 32x32, pixel for pixel $image"
}

orbix() {
  local out="$work/out/Bounce"
  pack pack "$src/examples/game_shell" "$out" --name Bounce --version 1.2 || bad "packing the game shell failed"
  [ -d "$out" ] || return
  expect_dlls "$out" "SDL2.dll SDL2_gfx.dll SDL2_image.dll SDL2_mixer.dll SDL2_ttf.dll lua53.dll orbix.dll "
  local lic
  for lic in lua5.3 libsdl2 libsdl2-image libsdl2-mixer libsdl2-ttf libsdl2-gfx freetype; do
    [ -n "$(find "$out/licenses/$lic" -type f -size +100c 2>/dev/null)" ] || bad "no licence text for $lic"
  done
  echo "packed folder: $(du -sk "$out" | cut -f1) KiB, $(files_of "$out" | wc -l) files"

  run_limited 60 "$work/close.out" "$wine_run" "$pack_check" close "orbix game shell" 40000 --hidden-dialog &
  local watch=$!
  (cd "$out" && SDL_AUDIODRIVER=dummy run_limited 60 "$work/app.out" "$wine_run" "$out/Bounce.exe")
  local rc=$?
  wait "$watch"; local wrc=$?
  echo "--- Bounce.exe (exit code $rc)"; tr -d '\r' <"$work/app.out"
  echo "--- game window (exit code $wrc)"; tr -d '\r' <"$work/close.out"
  [ "$rc" = 0 ] || bad "the game exited with $rc"
  [ "$wrc" = 0 ] || bad "the game window was not found, or the main window was not hidden"
  grep -qE '^frames: ([2-9]|[1-9][0-9]+)$' <(tr -d '\r' <"$work/app.out") || bad "the timer drove no frames"
}

modules() {
  local apps="$src/tests/pack/apps"
  # Through the Linux wrapper, with Linux paths.
  SCRIPTHOST_BUILD="$(dirname "$bin")" run_limited 60 "$work/plain.out" bash "$src/scripts/pack.sh" \
    "$apps/plain" "$work/out/Plain" --name Plain || bad "packing the plain app with scripts/pack.sh failed"
  echo "--- scripts/pack.sh"; tr -d '\r' <"$work/plain.out"
  expect_dlls "$work/out/Plain" "lua53.dll "
  [ -s "$work/out/Plain/lib/helper.lua" ] || bad "lib/helper.lua was not packed"
  [ ! -e "$work/out/Plain/licenses/libsdl2" ] || bad "SDL licences without SDL"
  pack fsop "$apps/fsop_setvar" "$work/out/Tools" --name Tools || bad "packing the lua_fsop app failed"
  expect_dlls "$work/out/Tools" "lua53.dll lua_fsop.dll setvar.dll "

  local app rc
  for app in Plain Tools; do
    (cd "$work/out/$app" && run_limited 60 "$work/$app.run" "$wine_run" "$work/out/$app/$app.exe")
    rc=$?
    echo "--- $app.exe (exit code $rc)"; tr -d '\r' <"$work/$app.run"
    [ "$rc" = 0 ] || bad "$app.exe exited with $rc"
  done
  grep -q "plain app: helper loaded" "$work/Plain.run" || bad "the plain app did not load its helper"
  grep -q "fsop realpath: .:\\\\" "$work/Tools.run" || bad "lua_fsop did not load in the packed app"
  grep -q "setvar: 0 yes" "$work/Tools.run" || bad "setvar did not load in the packed app"
}

# expect_refusal LOG "text in the message" args...: the packer must fail and
# say so.
expect_refusal() {
  local log=$1 want=$2; shift 2
  pack "$log" "$@"
  local rc=$?
  [ "$rc" != 0 ] || bad "$log: exit code 0"
  grep -qF -- "$want" "$work/$log.txt" || bad "$log: the message does not say \"$want\""
}

errors() {
  local app="$work/app" out="$work/out" ico="$work/icon.ico"
  mkdir -p "$app" && echo 'os.exit(0)' >"$app/init.lua"
  convert -size 32x32 xc:lime "$ico" || bad "could not make the test icon"

  mkdir -p "$work/no init" && echo 'print(1)' >"$work/no init/main.lua"
  expect_refusal no_init "init.lua" "$work/no init" "$out" --name App
  [ ! -e "$out" ] || bad "no_init: OUT_DIR was made"

  mkdir -p "$work/full" && echo "keep me" >"$work/full/keep.txt"
  expect_refusal not_empty "not empty" "$app" "$work/full" --name App
  [ "$(ls -A "$work/full")" = "keep.txt" ] && [ "$(cat "$work/full/keep.txt")" = "keep me" ] ||
    bad "not_empty: OUT_DIR was changed"

  local name n=0
  for name in 'a<b' 'what?' 'trailing.' 'sub/dir' 'CON' 'nul.app'; do
    n=$((n + 1))
    case "$name" in
      CON|nul.app) expect_refusal "bad_name$n" "is a device name" "$app" "$out" --name "$name" ;;
      *) expect_refusal "bad_name$n" "file name" "$app" "$out" --name "$name" ;;
    esac
    [ ! -e "$out" ] || bad "bad_name $name: OUT_DIR was made"
  done

  echo "not an icon" >"$work/fake.ico"
  expect_refusal fake_icon "fake.ico\" is not an icon file" "$app" "$out" --name App --icon "$work/fake.ico"
  convert -size 32x32 xc:lime "$work/picture.png" && cp "$work/picture.png" "$work/picture.ico"
  expect_refusal png_icon "is not an icon file" "$app" "$out" --name App --icon "$work/picture.ico"
  expect_refusal missing_icon "cannot read the icon" "$app" "$out" --name App --icon "$work/none.ico"
  expect_refusal bad_version "--version" "$app" "$out" --name App --version 1.2.x
  expect_refusal inside "inside APP_DIR" "$app" "$app/dist" --name App
  [ ! -e "$out" ] && [ ! -e "$app/dist" ] || bad "a refused pack made a folder"

  cp "$bin/lua53.dll" "$app/" && expect_refusal clash "APP_DIR holds lua53.dll" "$app" "$out" --name App
  rm -f "$app/lua53.dll"
  [ ! -e "$out" ] || bad "clash: OUT_DIR was made"

  # Two names that are one on Windows.
  mkdir -p "$app/data" && echo a >"$app/data/Notes.txt" && echo b >"$app/data/notes.txt"
  expect_refusal case_twins "one name on Windows" "$app" "$out" --name App
  rm -f "$app/data/notes.txt"
  [ ! -e "$out" ] || bad "case_twins: OUT_DIR was made"

  # A file that lists but cannot be opened (a Unix socket) stops the copy
  # half-way, after the program, DLLs and licences are written: what was made
  # goes again.
  perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Local => $ARGV[0], Listen => 1) or die' "$app/data/live.sock" ||
    bad "could not make a socket"
  expect_refusal half_way "removed again" "$app" "$out" --name App --icon "$ico"
  [ ! -e "$out" ] || { bad "half_way: the half-made folder is still there"; find "$out"; }
  mkdir -p "$work/empty"
  expect_refusal half_way_empty "removed again" "$app" "$work/empty" --name App
  [ -d "$work/empty" ] && [ -z "$(ls -A "$work/empty")" ] || bad "half_way_empty: OUT_DIR is not as it was"
  rm -f "$app/data/live.sock"

  # A runtime folder that lacks orbix and the licence texts: the packer works
  # from the folder it sits in.
  local rt="$work/bare runtime"
  mkdir -p "$rt" "$work/uses orbix" && cp "$bin/scripthost-pack.exe" "$bin/scripthost.exe" "$bin/lua53.dll" "$rt/"
  echo 'local orbix = require("orbix")' >"$work/uses orbix/init.lua"
  PACK="$rt/scripthost-pack.exe" expect_refusal no_orbix "orbix.dll is not beside the packer" \
    "$work/uses orbix" "$out" --name App
  [ ! -e "$out" ] || bad "no_orbix: OUT_DIR was made"
  PACK="$rt/scripthost-pack.exe" pack no_licences "$app" "$work/bare out" --name App ||
    bad "packing without licence texts failed"
  grep -qF "warning: the licence texts in licenses/lua5.3 are not beside the packer" "$work/no_licences.txt" ||
    bad "no warning about the missing licence texts"

  # The same app packs once the problems are gone, into the folder that was
  # left empty.
  pack fine "$app" "$work/empty" --name App --icon "$ico" || bad "the corrected pack failed"
  [ -s "$work/empty/App.exe" ] && [ -s "$work/empty/data/Notes.txt" ] || bad "the corrected pack is incomplete"
}

case "$mode" in
  example|orbix|modules|errors) "$mode" ;;
  *) echo "pack_test.sh: unknown mode $mode" >&2; exit 2 ;;
esac
[ "$fail" = 0 ] && echo "pack $mode: ok"
exit $fail
