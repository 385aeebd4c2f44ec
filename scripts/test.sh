#!/usr/bin/env bash
# Runs every test: installs what is missing, then the native unit tests, the
# benchmarks (built and run once briefly), the same tests again under AddressSanitizer and UndefinedBehaviorSanitizer, the
# fuzz targets for a bounded time, the unit tests cross-built for Windows and
# run under Wine, the end-to-end tests that drive the real program under
# Wine, and the release packages. QM_FUZZ_SECONDS sets how long each fuzz
# target runs (default 30).
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

bash scripts/setup.sh || exit 1

passed=0 failed=0 status=0
count() {  # reads ctest's closing line from its log
  local line
  line=$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  local total bad
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
}

stage() {  # stage NAME PRESET
  echo "=== $1"
  local log="build/$2-ctest.log"
  if ! { cmake --preset "$2" >"build/$2-configure.log" 2>&1 || { cat "build/$2-configure.log"; false; }; } ||
     ! cmake --build --preset "$2"; then
    echo "=== $1: build FAILED"; failed=$((failed + 1)); status=1; return 1
  fi
  ctest --preset "$2" 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  count "$log"
}

fuzz() {  # runs the fuzz targets side by side, each for QM_FUZZ_SECONDS, over their corpus
  local seconds=${QM_FUZZ_SECONDS:-30} bin=build/sanitize/tests/fuzz work=build/sanitize/fuzz
  echo "=== Fuzzing the reading and writing of stat.dat, the history and the maps of the screen (${seconds} s each, side by side)"
  local names=(stat_file number_reading real_text history screen) pids=() i
  for name in "${names[@]}"; do
    # New inputs go to the build folder; the committed corpus is only read.
    mkdir -p "$work/$name"
    "$bin/fuzz_$name" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$work/$name-" "$work/$name" "tests/fuzz/corpus/$name" >"$work/$name.log" 2>&1 &
    pids+=($!)
  done
  for i in "${!names[@]}"; do
    local name=${names[$i]} runs
    if wait "${pids[$i]}"; then
      runs=$(sed -nE 's/^stat::number_of_executed_units: *([0-9]+)/\1/p' "$work/$name.log")
      echo "PASS fuzz_$name (${runs:-?} inputs)"; passed=$((passed + 1))
    else
      echo "FAIL fuzz_$name: see $work/$name.log; the input that failed:"
      grep -E '^\*\*\* |ERROR|SUMMARY|Test unit written to' "$work/$name.log" | head -n 8 | sed 's/^/    /'
      failed=$((failed + 1)); status=1
    fi
  done
}

mkdir -p build
source scripts/wine-env.sh
stage "Native unit tests" native
# The benchmarks are code too: they build, and each runs once briefly, so
# that a change cannot leave scripts/bench.sh broken.
echo "=== Benchmarks (built, each run briefly)"
if { cmake --preset bench >build/bench-configure.log 2>&1 || { cat build/bench-configure.log; false; }; } &&
   cmake --build --preset bench >build/bench-build.log 2>&1 &&
   build/bench/bench/qm_bench --benchmark_min_time=0.01 >build/bench-smoke.log 2>&1; then
  echo "PASS benchmarks"; passed=$((passed + 1))
else
  echo "FAIL benchmarks: see build/bench-build.log and build/bench-smoke.log"
  tail -n 20 build/bench-build.log build/bench-smoke.log 2>/dev/null | sed 's/^/    /'
  failed=$((failed + 1)); status=1
fi
if stage "Native unit tests under ASan and UBSan (clang)" sanitize; then fuzz; fi
if [ "$QM_WIN_PRESET" != windows ]; then
  # This machine's Wine runs 64-bit programs only: the tests run the 64-bit
  # build of the same sources, and the 32-bit program that ships is built too.
  echo "=== 32-bit Windows program (Wine here cannot run 32-bit programs; its tests run the $QM_WIN_PRESET build)"
  if ! { cmake --preset windows >build/windows-configure.log 2>&1 && cmake --build --preset windows --target quillmark; }; then
    echo "=== 32-bit Windows program: build FAILED"; failed=$((failed + 1)); status=1
  fi
fi
stage "Windows unit tests under Wine ($QM_WINE_ARCH)" "$QM_WIN_PRESET"
if [ -x scripts/e2e.sh ]; then
  echo "=== End-to-end tests under Wine"
  bash scripts/e2e.sh 2>&1 | tee build/e2e.log
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  e2e=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' build/e2e.log | tail -n 1)
  if [ -n "$e2e" ]; then
    passed=$((passed + $(sed -E 's/e2e: ([0-9]+) passed.*/\1/' <<<"$e2e")))
    failed=$((failed + $(sed -E 's/.*passed, ([0-9]+) failed.*/\1/' <<<"$e2e")))
  else
    failed=$((failed + 1))
  fi
fi

# The release: scripts/package.sh, its files, and installing, updating and
# uninstalling under Wine.
echo "=== Release packages"
bash tests/package/test_package.sh 2>&1 | tee build/package.log
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
pkg=$(grep -E '^package: [0-9]+ passed, [0-9]+ failed' build/package.log | tail -n 1)
if [ -n "$pkg" ]; then
  passed=$((passed + $(sed -E 's/package: ([0-9]+) passed.*/\1/' <<<"$pkg")))
  failed=$((failed + $(sed -E 's/.*passed, ([0-9]+) failed/\1/' <<<"$pkg")))
else
  failed=$((failed + 1))
fi

[ "$failed" -eq 0 ] || status=1
echo
echo "$passed passed, $failed failed"
exit "$status"
