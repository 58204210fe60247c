#!/usr/bin/env bash
# Installs the Debian 12 packages that Kestrel's build, program and tests need; does nothing when all are there.
set -euo pipefail

packages=(
  # build
  cmake ninja-build ccache g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  zlib1g-dev libjpeg-dev libpng-dev libgif-dev libxml2-dev libharfbuzz-dev libcups2-dev libfontconfig-dev
  # ICU for date fields; SVG for illustrations and icons; man pages from Markdown
  libicu-dev qt6-svg-dev go-md2man
  # program
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core
  # Qt's own dialogs (file, colour, font, print) in Japanese
  qt6-translations-l10n
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  fp-compiler fp-units-rtl python3-olefile libgsf-bin
  # the independent side of the date-field tests
  python3-icu
  # picture references: Pillow, cjpeg, and vipsthumbnail for the thumbnail benchmark
  libjpeg-turbo-progs libvips-tools
  python3-fonttools libharfbuzz-bin
  xvfb xauth
  # the clipboard shared with other programs, under Xvfb
  xclip
  # barcode and QR references: encoders, readers and check digits; libqrencode for the benchmark
  python3-segno zbar-tools python3-zxing-cpp python3-pil python3-stdnum zint libqrencode-dev
  # music tests: exiftool reads the tags of the audio fixtures; TagLib is the tag benchmark's reference
  libimage-exiftool-perl libtag1-dev
  # the desktop files, file types and completion (tests), the Debian package (make package-test)
  desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin bash-completion x11-utils file
  dpkg-dev debhelper lintian man-db
  # printing tests: a private CUPS scheduler with a copying filter, and poppler to read PDFs;
  # Gutenprint's disc printers (their PPDs are also the source of the shipped printer data)
  cups-daemon cups-core-drivers poppler-utils printer-driver-gutenprint
  # the XML settings files checked with xmllint
  libxml2-utils
  # the shipped plug-ins: discs and CD-TEXT, CDDB, scanners; their tests compare with SANE's
  # scanimage and read the test backend's configuration
  libcdio-dev libcddb2-dev libsane-dev libsane1 sane-utils
  # fuzzing (make fuzz)
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
