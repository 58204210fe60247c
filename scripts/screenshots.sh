#!/bin/sh
# Pictures of the chooser, each stage, the sheet overview and a face at 400 % for the README, taken from the
# built program under a virtual display with private settings:
#   scripts/screenshots.sh [build folder] [output folder]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
out=${2:-$here/../docs/screenshots}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/data" "$work/runtime" "$out"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
export KESTREL_MESSAGES_TO_STDERR=1 KESTREL_SCREENSHOT_DIR="$(cd "$out" && pwd)"

"$build/src/kestrel-cli" compose "$here/screenshot-scene.json" "$work/album.mld" >/dev/null
if command -v xvfb-run >/dev/null 2>&1; then
    xvfb-run -a -s "-screen 0 1280x900x24" "$build/src/kestrel" "$work/album.mld"
else
    echo "xvfb-run is missing (apt-get install xvfb); drawing off-screen instead" >&2
    QT_QPA_PLATFORM=offscreen "$build/src/kestrel" "$work/album.mld"
fi
ls "$KESTREL_SCREENSHOT_DIR"/*.png
