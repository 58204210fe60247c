#!/usr/bin/env bash
# The acceptance checks of Kestrel's Debian package (make package-test): builds the package,
# unpacks it into a temporary root with dpkg -x and uses it from there alone, with private XDG
# folders and, for opening a document by its file type, a virtual display.
#   scripts/package-test.sh          the package
#   scripts/package-test.sh ROOT     an installation already in ROOT/usr (cmake --install build
#                                    --prefix ROOT/usr), without building or lintian
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
installed=${1:+$(cd "$1" && pwd)}
if [ -z "$installed" ] && ! command -v dpkg-buildpackage >/dev/null 2>&1; then
    echo "package-test: skipped, dpkg-buildpackage is missing (apt-get install dpkg-dev debhelper)"
    exit 0
fi

work=$(mktemp -d)
started=()
cleanup()
{
    for pid in "${started[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
check()
{
    local what=$1
    shift
    if "$@" >"$work/check.log" 2>&1; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        sed 's/^/    /' "$work/check.log"
        failures=$((failures + 1))
    fi
}

if [ -n "$installed" ]; then
    root=$installed
else
    # The debug symbols package takes minutes to compress and is not checked here.
    DEB_BUILD_OPTIONS="noautodbgsym ${DEB_BUILD_OPTIONS:-}" bash "$here/scripts/build-deb.sh" "$here/build-deb" >"$work/build.log" 2>&1 || {
        tail -40 "$work/build.log"
        echo "FAILED: the package did not build"
        exit 1
    }
    deb=$(ls "$here"/build-deb/kestrel_*.deb | grep -v dbgsym | tail -1)
    echo "package: $deb"
    root=$work/root
    dpkg -x "$deb" "$root"
fi
if [ -e /usr/share/kestrel ]; then
    echo "note: /usr/share/kestrel exists here, so finding the data beside the program is not proven"
fi
mkdir -p "$work/config" "$work/data" "$work/runtime" "$work/home"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
export PATH=$root/usr/bin:$PATH QT_QPA_PLATFORM=offscreen
cd "$work"
cli=$root/usr/bin/kestrel-cli
paper="A4 CDラベル 2面 (外径117mm/内径41mm)"

check "kestrel-cli papers lists the installed catalogue" sh -c "\"$cli\" papers | grep -F \"$paper\""
cat >scene.json <<JSON
{"sheets": [{"paper": {"name": "$paper"}, "faces": [{"face": 1, "objects": [
  {"class": "TLOText", "properties": {"Left": 250, "Top": 180, "Width": 700, "Height": 120, "Text": ["夜明けの歌"]}}]}]}]}
JSON
check "kestrel-cli new and render work with the installed data" sh -c \
    "\"$cli\" new --paper \"$paper\" new.mld && \"$cli\" render new.mld --dpi 100 --out new.png && test -s new.png"
check "the help pages are installed with the data" test -s "$root/usr/share/kestrel/help/index.html"
check "kestrel-cli compose makes a document" "$cli" compose scene.json album.mld

thumbnailer=$(sed -n 's/^Exec=//p' "$root/usr/share/thumbnailers/kestrel.thumbnailer")
thumbnail_command=${thumbnailer//%i/album.mld}
thumbnail_command=${thumbnail_command//%o/thumbnail}
thumbnail_command=${thumbnail_command//%s/128}
check "the thumbnailer makes a 128-pixel PNG" sh -c \
    "$thumbnail_command && file thumbnail | grep -q 'PNG image data, 9[01] x 128'"

check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$root/usr/share/applications/kestrel.desktop"
check "appstreamcli validates the metainfo" appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
[ -n "$installed" ] || check "lintian finds no errors" lintian --fail-on error "$deb"
for size in 16 22 24 32 48 64 128 256 512; do
    check "the ${size}-pixel icons" sh -c "file \"$root/usr/share/icons/hicolor/${size}x${size}/apps/kestrel.png\" \
        \"$root/usr/share/icons/hicolor/${size}x${size}/mimetypes/application-x-kestrel-label.png\" |
        grep -c 'PNG image data, $size x $size' | grep -qx 2"
done
check "the man pages render without warnings" sh -c "for page in \"$root\"/usr/share/man/man1/*.1* \"$root\"/usr/share/man/ja/man1/*.1*; do
    LANG=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l \"\$page\" 2>&1 >/dev/null | grep . && exit 1; done; true"

# The file types and the program that opens them, in the private data folder only.
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications"
cp "$root/usr/share/mime/packages/kestrel.xml" "$XDG_DATA_HOME/mime/packages/"
update-mime-database "$XDG_DATA_HOME/mime"
cp "$root/usr/share/applications/kestrel.desktop" "$XDG_DATA_HOME/applications/"
update-desktop-database "$XDG_DATA_HOME/applications"
export XDG_CURRENT_DESKTOP=GNOME
cp album.mld album-without-extension
cp "$root/usr/share/kestrel/kestrel.ppr" papers.ppr
check "xdg-mime knows a document by its name" sh -c "xdg-mime query filetype album.mld | grep -qx application/x-kestrel-label"
check "xdg-mime knows a document by its content" sh -c \
    "xdg-mime query filetype album-without-extension | grep -qx application/x-kestrel-label"
check "xdg-mime knows a paper catalogue" sh -c "xdg-mime query filetype papers.ppr | grep -qx application/x-kestrel-paper"
check "kestrel opens documents" sh -c "xdg-mime query default application/x-kestrel-label | grep -qx kestrel.desktop"

# Opening the document by its type starts Kestrel with it: its window names the document.
unset QT_QPA_PLATFORM
cat >open.sh <<'SH'
xdg-open "$1"
for i in $(seq 60); do
    if xwininfo -root -tree | grep -q 'Kestrel - album'; then exit 0; fi
    sleep 0.5
done
xwininfo -root -tree | grep -i kestrel
exit 1
SH
check "xdg-open starts Kestrel with the document" xvfb-run -a -s "-screen 0 1280x900x24" sh open.sh "$work/album.mld"
for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/exe" 2>/dev/null)" = "$root/usr/bin/kestrel" ] && started+=("${proc#/proc/}")
done

echo
if [ "$failures" -ne 0 ]; then
    echo "package-test: $failures failed"
    exit 1
fi
echo "package-test: all passed"
