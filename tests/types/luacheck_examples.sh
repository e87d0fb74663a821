#!/usr/bin/env bash
# luacheck with the shipped standards, the way the docs tell users to run it:
# the bundled app is a scripthost script, the samples run under lua.exe (one
# loads lua_fsop). Any warning fails. A short script with typical mistakes
# must still be caught, so the standards cannot quietly allow everything.
#
#   luacheck_examples.sh SOURCE_ROOT
set -u
root=$1
cd "$root" || exit 2
command -v luacheck >/dev/null || { echo "FAIL: luacheck is not installed (scripts/setup.sh installs lua-check)"; exit 1; }
fail=0

luacheck --config types/luacheckrc --std lua53+scripthost --formatter plain --codes examples/app \
  || { echo "FAIL: luacheck warns about the example app"; fail=1; }
luacheck --config types/luacheckrc --std lua53+lua_fsop --formatter plain --codes examples/*.lua \
  || { echo "FAIL: luacheck warns about the samples"; fail=1; }

# Writing a host constant, misspelling one, and a host global in a lua.exe
# script are all mistakes luacheck must report.
mistakes='WM_COMMAND = 1
print(WM_COMANDD)
dialog_callback = function() return 0 end
'
out=$(printf '%s' "$mistakes" | luacheck --config types/luacheckrc --std lua53+scripthost --formatter plain --codes -)
echo "$out"
for code in 121 113; do
  case "$out" in *"(W$code)"*) ;; *) echo "FAIL: no W$code for the mistakes script"; fail=1 ;; esac
done
case "$out" in *"dialog_callback"*) echo "FAIL: setting dialog_callback is reported"; fail=1 ;; esac
out=$(printf 'print(hWin)\n' | luacheck --config types/luacheckrc --std lua53+lua_fsop --formatter plain --codes -)
case "$out" in *"(W113)"*) ;; *) echo "FAIL: hWin is accepted in a script without the scripthost standard"; fail=1 ;; esac
exit $fail
