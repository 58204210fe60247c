#!/usr/bin/env bash
# Builds the libFuzzer targets (clang) and runs each for FUZZ_SECONDS (default 60), FUZZ_JOBS
# (default 2) at a time; FUZZ_TARGETS limits the run to some targets (names as in tests/fuzz/targets).
# New inputs and findings stay in build-fuzz/fuzz-runs/<target>/; the stored corpus is only read.
# Inputs are kept under 64 KB so that mutation stays fast; the larger stored regression cases are
# replayed whole by `make test`.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-2}
runs=$root/build-fuzz/fuzz-runs

cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$jobs"

if [ -n "${FUZZ_TARGETS:-}" ]; then
  targets=($FUZZ_TARGETS)
else
  targets=()
  for source in tests/fuzz/targets/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

run_target() {
  local target=$1 dir=$runs/$1
  mkdir -p "$dir/corpus"
  rm -f "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-* "$dir"/slow-unit-*
  QT_QPA_PLATFORM=offscreen \
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  LSAN_OPTIONS=suppressions="$root/tests/fuzz/lsan.supp" \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$root/build-fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="$dir/" "$dir/corpus" "$root/tests/fuzz/corpus/$target" \
      >"$dir/log" 2>&1 || true
}
export -f run_target
export root seconds runs

echo "Fuzzing ${#targets[@]} targets for ${seconds} s each, $jobs at a time"
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_target {}'

status=0
printf '%-20s %12s %8s %8s  %s\n' target executions cov ft findings
for target in "${targets[@]}"; do
  dir=$runs/$target
  execs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$dir/log" | tail -1 | grep -o '[0-9]*$' || echo '?')
  cov=$(grep -o ' cov: [0-9]*' "$dir/log" | tail -1 | grep -o '[0-9]*$' || echo '?')
  ft=$(grep -o ' ft: [0-9]*' "$dir/log" | tail -1 | grep -o '[0-9]*$' || echo '?')
  findings=$(ls "$dir" | grep -E '^(crash|leak|timeout|oom)-' | sed "s|^|$dir/|" | tr '\n' ' ' || true)
  printf '%-20s %12s %8s %8s  %s\n' "$target" "$execs" "$cov" "$ft" "${findings:-none}"
  if [ -n "$findings" ]; then status=1; fi
done
[ $status -eq 0 ] || echo "Findings above: reproduce with build-fuzz/tests/fuzz/fuzz_<target> <file>; add the file to tests/fuzz/corpus/<target>/ once fixed."
exit $status
