#!/usr/bin/env bash
# Builds scripthost for Windows and runs the bundled example app under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh win64
app=build/app
rm -rf "$app" && mkdir -p "$app"
cp build/win64/bin/scripthost.exe build/win64/bin/lua53.dll "$app/"
cp -r examples/app/. "$app/"
exec build/win64/wine-run "$app/scripthost.exe"
