#!/usr/bin/env bash
# Checks the release zip the way a Windows user meets it: unpacked into a
# fresh folder.
#
#   check_dist.sh contents ZIP WORK OBJDUMP
#       every program, module, SDL DLL, the example app, the two opt-in
#       manifests and the licence texts are there, and every EXE/DLL imports
#       only system DLLs and DLLs that ship beside it (no compiler runtime DLLs)
#   check_dist.sh run ZIP WORK WINE_RUN UIWATCH
#       the bundled app starts from the unpacked folder and closes with its
#       main window, also with the modern look's manifest beside it; the
#       packer packs a sample; the samples run with the bundled lua.exe
set -u
mode=$1 zip=$2 work=$3
fail=0
bad() { echo "FAIL: $*"; fail=1; }

rm -rf "$work" && mkdir -p "$work" || exit 2
(cd "$work" && cmake -E tar xf "$zip") || { echo "FAIL: cannot unpack $zip"; exit 1; }
name=$(basename "$zip" .zip)
root="$work/$name"
[ -d "$root" ] || { echo "FAIL: $zip does not hold the folder $name"; exit 1; }

contents() {
  local objdump=$1 f dll lic
  for f in scripthost.exe lua53.dll lua.exe orbix.dll lua_fsop.dll setvar.dll \
           SDL2.dll SDL2_image.dll SDL2_mixer.dll SDL2_ttf.dll SDL2_gfx.dll \
           init.lua README.md examples/modules_sample.lua \
           types/luacheckrc types/luals/config.json types/luals/library/scripthost.lua \
           types/luals/library/orbix.lua types/luals/library/lua_fsop.lua types/luals/library/setvar.lua; do
    [ -s "$root/$f" ] || bad "missing $f"
  done
  [ -s "$root/scripthost-pack.exe" ] || bad "missing scripthost-pack.exe"
  for lic in lua5.3 libsdl2 libsdl2-image libsdl2-mixer libsdl2-ttf libsdl2-gfx freetype; do
    [ -n "$(find "$root/licenses/$lic" -type f -size +100c 2>/dev/null)" ] || bad "no licence text for $lic"
  done
  grep -q "Lua.org, PUC-Rio" "$root/licenses/lua5.3/LICENSE.txt" 2>/dev/null || bad "Lua licence text"
  grep -qi "FreeType" "$root/licenses/freetype/docs-FTL.TXT" 2>/dev/null || bad "freetype licence text"

  # The manifests opt in only when a user copies one beside the program.
  local m
  for m in utf-8 modern; do
    grep -q '<activeCodePage[^>]*>UTF-8</activeCodePage>' "$root/manifests/$m/scripthost.exe.manifest" 2>/dev/null ||
      bad "manifests/$m/scripthost.exe.manifest sets no UTF-8 code page"
  done
  grep -q 'Microsoft.Windows.Common-Controls' "$root/manifests/modern/scripthost.exe.manifest" 2>/dev/null ||
    bad "manifests/modern asks for no visual-style controls"
  ! grep -q 'Common-Controls' "$root/manifests/utf-8/scripthost.exe.manifest" 2>/dev/null ||
    bad "manifests/utf-8 changes the controls"
  ! grep -qi 'dpiAware' "$root"/manifests/*/scripthost.exe.manifest 2>/dev/null || bad "a manifest declares DPI awareness"
  [ ! -e "$root/scripthost.exe.manifest" ] || bad "a manifest beside scripthost.exe opts every user in"

  # What the DLLs and programs may import: Windows itself and what ships here.
  local system=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll oleaut32.dll "
  system+="comctl32.dll comdlg32.dll gdiplus.dll winmm.dll imm32.dll setupapi.dll version.dll msvcrt.dll "
  local shipped=" " lower
  for f in "$root"/*.dll; do shipped+="$(basename "$f" | tr 'A-Z' 'a-z') "; done
  local n=0
  for f in "$root"/*.exe "$root"/*.dll; do
    n=$((n + 1))
    local imports
    imports=$("$objdump" -p "$f" | awk '/DLL Name:/{print $3}') || { bad "objdump $f"; continue; }
    [ -n "$imports" ] || bad "$(basename "$f"): no imports read"
    for dll in $imports; do
      lower=$(echo "$dll" | tr 'A-Z' 'a-z')
      case "$system$shipped" in
        *" $lower "*) ;;
        *) bad "$(basename "$f") imports $dll, which is neither a system DLL nor shipped" ;;
      esac
    done
  done
  echo "checked the imports of $n programs and DLLs"
  # The same rule, the other way round: the zip must not carry compiler DLLs.
  for f in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    [ ! -e "$root/$f" ] || bad "$f is shipped"
  done
}

# run_limited: one Windows program under the runner with a time limit.
source "$(dirname "$0")/../../tools/run-limited.sh"

run() {
  local wine_run=$1 uiwatch=$2 rc
  # The app: scripthost.exe runs init.lua from its own folder; closing its main
  # window ends it through the app's WM_CLOSE handler.
  # Its caption: the one init.lua gives the main window, else the template's.
  local caption
  caption=$(sed -n 's/^SetWindowText(hWin, "\([^"]*\)").*/\1/p' "$root/init.lua" | tail -n1)
  run_limited 60 "$work/uiwatch.out" "$wine_run" "$uiwatch" --caption "${caption:-Window}" --close --timeout 40000 &
  local watch=$!
  (cd "$root" && run_limited 60 "$work/app.out" "$wine_run" scripthost.exe)
  rc=$?
  wait "$watch"; local wrc=$?
  echo "--- app (exit code $rc)"; tr -d '\r' <"$work/app.out"
  echo "--- uiwatch (exit code $wrc)"; tr -d '\r' <"$work/uiwatch.out"
  [ "$rc" = 0 ] || bad "the app exited with $rc"
  [ "$wrc" = 0 ] || bad "the app's main window was not found and closed"

  # The zip's packer finds the runtime and the licence texts beside it.
  run_limited 60 "$work/pack.out" "$wine_run" "$root/scripthost-pack.exe" "$root/examples/game_shell" \
    "$work/packed" --name Shell
  rc=$?
  echo "--- scripthost-pack (exit code $rc)"; tr -d '\r' <"$work/pack.out"
  [ "$rc" = 0 ] || bad "the zip's packer exited with $rc"
  local f
  for f in Shell.exe lua53.dll orbix.dll SDL2_ttf.dll licenses/lua5.3/LICENSE.txt licenses/freetype/docs-FTL.TXT; do
    [ -s "$work/packed/$f" ] || bad "the zip's packer left out $f"
  done
  # The same with the modern look: a user copies its manifest beside the
  # program.
  cp "$root/manifests/modern/scripthost.exe.manifest" "$root/" || bad "copying the modern manifest"
  run_limited 60 "$work/uiwatch-modern.out" "$wine_run" "$uiwatch" --caption "${caption:-Window}" --close --timeout 40000 &
  watch=$!
  (cd "$root" && run_limited 60 "$work/app-modern.out" "$wine_run" scripthost.exe)
  rc=$?
  wait "$watch"; wrc=$?
  rm -f "$root/scripthost.exe.manifest"
  echo "--- app with the modern manifest (exit code $rc)"; tr -d '\r' <"$work/app-modern.out"
  [ "$rc" = 0 ] || bad "the app with the modern manifest exited with $rc"
  [ "$wrc" = 0 ] || bad "the app's main window with the modern manifest was not found and closed"

  # The samples, with the console interpreter and modules of the zip.
  (cd "$root/examples" && run_limited 60 "$work/modules.out" "$wine_run" ../lua.exe modules_sample.lua)
  rc=$?
  echo "--- modules_sample.lua (exit code $rc)"; tr -d '\r' <"$work/modules.out"
  [ "$rc" = 0 ] || bad "modules_sample.lua exited with $rc"
  grep -q "working directory: .:\\\\" "$work/modules.out" || bad "modules_sample.lua printed no Windows working directory"

  if [ -f "$root/examples/orbix_game.lua" ]; then
    (cd "$root/examples" && SDL_AUDIODRIVER=dummy run_limited 60 "$work/game.out" "$wine_run" ../lua.exe orbix_game.lua 20)
    rc=$?
    echo "--- orbix_game.lua 20 (exit code $rc)"; tr -d '\r' <"$work/game.out"
    [ "$rc" = 0 ] || bad "orbix_game.lua exited with $rc"
  fi
}

case "$mode" in
  contents) contents "$4" ;;
  run) run "$4" "$5" ;;
  *) echo "check_dist.sh: unknown mode $mode" >&2; exit 2 ;;
esac
[ "$fail" = 0 ] && echo "dist $mode: ok"
exit $fail
