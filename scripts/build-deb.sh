#!/usr/bin/env bash
# Builds Kestrel's Debian package from the files of this working tree (committed or not, never
# what git ignores): scripts/build-deb.sh [OUTPUT_FOLDER], by default build-deb/. The package is
# built with dpkg-buildpackage in a copy of the tree inside the output folder, so the working
# tree gets no build files; the .deb ends up in the output folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$here/build-deb}" && cd "${1:-$here/build-deb}" && pwd)
for tool in dpkg-buildpackage dh git; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "build-deb: $tool is missing (apt-get install dpkg-dev debhelper git)" >&2
        exit 1
    fi
done

version=$(dpkg-parsechangelog -l "$here/debian/changelog" -S Version)
tree=$out/kestrel-$version
rm -rf "$tree"
mkdir -p "$tree"
cd "$here"
git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
    tar --null -T - -cf - | tar -xf - -C "$tree"

# debhelper gives the build a home of its own, where ccache would start an empty cache without
# the user's settings (base_dir above all): hand it the user's cache and settings explicitly.
if command -v ccache >/dev/null 2>&1; then
    CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
    config=${CCACHE_CONFIGPATH:-${XDG_CONFIG_HOME:-$HOME/.config}/ccache/ccache.conf}
    [ -f "$config" ] && export CCACHE_CONFIGPATH=$config
    export CCACHE_DIR
fi

cd "$tree"
# The machine is shared: at most KESTREL_DEB_JOBS (2) compilers, at low priority.
nice -n 10 dpkg-buildpackage -us -uc -b -J"${KESTREL_DEB_JOBS:-2}"
ls "$out"/kestrel_"$version"_*.deb
