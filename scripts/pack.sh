#!/usr/bin/env bash
# Packs an app with scripthost-pack.exe under Wine, for those who build on
# Linux:
#   bash scripts/pack.sh APP_DIR OUT_DIR --name NAME [--icon FILE.ico] [--version A.B.C.D] [--utf8]
# Paths may be Linux paths (Wine sees them on its Z: drive). The Windows build
# (build/win64, or SCRIPTHOST_BUILD) is made first when it has no packer yet.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tree="${SCRIPTHOST_BUILD:-$root/build/win64}"
if [ ! -f "$tree/bin/scripthost-pack.exe" ]; then
  bash "$root/scripts/setup.sh"
  bash "$root/scripts/build.sh" win64 >&2
fi
# Wine reads names and paths in the locale's character set: keep them UTF-8.
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
exec "$tree/wine-run" "$tree/bin/scripthost-pack.exe" "$@"
