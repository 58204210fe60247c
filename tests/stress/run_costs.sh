#!/usr/bin/env bash
# Time and peak memory of kestrel-cli on the crafted inputs of make_inputs.py, each kind in three
# sizes, so that growth shows: bash tests/stress/run_costs.sh [build folder] [work folder].
# Not part of `make test`; needs /usr/bin/time (Debian package "time").
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cli=$(cd "${1:-$here/../../build}" && pwd)/src/kestrel-cli
work=${2:-$(mktemp -d)}
mkdir -p "$work"
/usr/bin/python3 "$here/make_inputs.py" "$work"
cd "$work" || exit 1
mkfifo pipe 2>/dev/null
ln -sf /dev/zero zero.mld
ln -sf /dev/zero zero.jpg

printf '%-34s %-8s %4s %8s %8s\n' input command exit seconds peak-MB
measure() {
  local label=$1 command=$2
  shift 2
  local code seconds peak
  /usr/bin/time -o time.txt -f '%e %M' timeout 120 "$cli" "$@" >/dev/null 2>stderr.txt
  code=$?
  read -r seconds peak < <(tail -1 time.txt)
  printf '%-34s %-8s %4s %8s %8d\n' "$label" "$command" "$code" "$seconds" "$((peak / 1024))"
  if LC_ALL=C grep -qE '^[ -~]+$' stderr.txt; then
    echo "  English on stderr:"; LC_ALL=C grep -E '^[ -~]+$' stderr.txt | head -3 | sed 's/^/    /'
  fi
}

# Documents made from scenes, then read, dumped and rendered.
compose_and_render() {
  local scene=$1
  measure "$scene" compose compose "$scene" "${scene%.json}.mld"
  measure "${scene%.json}.mld" info info "${scene%.json}.mld"
  measure "${scene%.json}.mld" render render "${scene%.json}.mld" --anyway --out "${scene%.json}.png"
}
for n in 10000 30000 100000; do compose_and_render "rects-$n.json"; done
for n in 100000 300000 1000000; do compose_and_render "polygon-$n.json"; done
for n in 100 300 1000; do compose_and_render "emf-pictures-$n.json"; done
for side in 2000 4000 8000; do for kind in jpg png; do compose_and_render "bomb-$side-$kind.json"; done; done
for stops in 1000 10000 100000; do compose_and_render "gradation-$stops.json"; done
for n in 500 2000 8000; do compose_and_render "arc-$n.json"; compose_and_render "straight-$n.json"; done
for width in 2000 8000 20000; do compose_and_render "linewidth-$width.json"; done
compose_and_render qr-7000.json
measure template.json compose compose template.json template.mld
for dpi in 600 1200 2400; do measure "template.mld dpi $dpi" render render template.mld --dpi "$dpi" --out "sheet-$dpi.png"; done

# Mail merge: the rate per row stays the same as the output folder fills.
for rows in 1000 3000 10000; do
  rm -rf "out-$rows"; mkdir "out-$rows"
  measure "rows-$rows.csv" fill fill template.mld "rows-$rows.csv" "out-$rows/{{row}}.mld"
done
measure nul.csv fill fill template.mld nul.csv "out-nul-{{row}}.mld"
for size in 1 4 16; do
  measure "nul-${size}m.csv" fill fill template.mld "nul-${size}m.csv" "out-nul-$size-{{row}}.mld"
  measure "long-field-${size}m.csv" fill fill template.mld "long-field-${size}m.csv" "out-long-$size-{{row}}.mld"
done

# Catalogues of many papers: built, then listed.
for count in 1000 3000 10000; do
  measure "papers-$count.json" build build-papers "papers-$count.json" "papers-$count.ppr"
  measure "papers-$count.ppr" papers papers --catalogue "papers-$count.ppr"
done

# Special files: refused at once.
measure "fifo" info info pipe
measure "/dev/zero link" info info zero.mld
measure "fifo csv" fill fill template.mld pipe 'x-{{row}}.mld'
echo "(work folder: $work)"
