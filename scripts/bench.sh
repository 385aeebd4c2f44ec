#!/usr/bin/env bash
# Measures what Quillmark costs and prints one result per line as
# "name: value" (lines starting with "#" say where the figures come from):
#
#   tick_idle_ns    one 60 ms sampler tick without input since the last
#                   one: the last-input time and the cursor read, the key
#                   scan skipped, no label changed; the real code over
#                   stand-in devices, natively, release build, CPU time,
#                   median (Google Benchmark)
#   tick_input_ns   the same with the cursor moving and a key pressed at
#                   every tick: the key scan and the refresh of the labels
#   save_us         one save of stat.dat through real files in a temporary
#                   folder, natively, wall-clock time, median
#   cpu_ratio       CPU time (the process plus its wineserver, from /proc)
#                   of quillmark.exe idle under Wine, over that of
#                   bench/idle_timer.cpp, a program that only runs the same
#                   60 ms timer polling the 255 keys and the cursor; 30 s
#                   each, A B A B A B, each from a fresh start of Wine
#                   (its wineserver included) in the benchmark's own
#                   prefix, nothing else running there; the ratio of the sums
#   cpu_ratio_typing  the same while a driver presses a letter key 8 times
#                   a second for the whole 30 s (into whichever window has
#                   the focus, the same for both)
#   start_ms        from starting quillmark.exe (prefix booted, wineserver
#                   and desktop running) to its main window being visible,
#                   median of 5
#   working_set_kb  quillmark.exe's peak working set as Windows reports it
#                   (GetProcessMemoryInfo, from the end-to-end driver) after
#                   30 s idle, median of the three runs
#   exe_bytes       the size of the exe that ships (a problem above the
#                   limit in scripts/release-limits.sh, as for the release test)
#
# A benchmark added to bench/ that names a result (ReportAs) adds its line
# after save_us.
#
# Builds what it needs. Takes about 12 minutes and wants a quiet machine:
# whatever else runs shows in the Wine figures. Not part of scripts/test.sh.
# QM_BENCH_SECONDS (30), QM_BENCH_PAIRS (3), QM_BENCH_STARTS (5) and
# QM_BENCH_REPETITIONS (9) shorten or lengthen it. QM_BENCH_BEFORE names
# another quillmark.exe (an earlier build) that runs beside the two in
# every pair, for a before-and-after comparison measured side by side; its
# figures are the lines "cpu_ratio_before" and "cpu_ratio_typing_before".
# Logs: build/bench-run.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
seconds=${QM_BENCH_SECONDS:-30}
pairs=${QM_BENCH_PAIRS:-3}
starts=${QM_BENCH_STARTS:-5}
repetitions=${QM_BENCH_REPETITIONS:-9}

out=$here/build/bench-run
mkdir -p "$out"
exec 9>"$out.lock"
flock -n 9 || { echo "bench: another scripts/bench.sh is running in this tree" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out/logs"
status=0
problem() { echo "bench: $*" >&2; status=1; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# --- building -----------------------------------------------------------------
bash scripts/setup.sh >"$out/logs/setup.log" 2>&1 || { cat "$out/logs/setup.log" >&2; exit 1; }
source scripts/wine-env.sh
build() {  # PRESET [TARGET...]
  local preset=$1
  shift
  local targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  { cmake --preset "$preset" && cmake --build --preset "$preset" "${targets[@]}"; } >"$out/logs/build-$preset.log" 2>&1 ||
    { tail -n 30 "$out/logs/build-$preset.log" >&2; echo "bench: the $preset build failed" >&2; exit 1; }
}
build bench qm_bench
build "$QM_WIN_PRESET" quillmark qm_idle_timer qm_e2e_driver
[ "$QM_WIN_PRESET" = windows ] || build windows quillmark

# The exe that ships: the 32-bit build, stripped.
shipped_exe() { i686-w64-mingw32-strip -o "$out/quillmark.exe" build/windows/program/quillmark.exe && echo "$out/quillmark.exe"; }

# --- where the figures come from ------------------------------------------------
cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
echo "# Quillmark $(sed -nE 's/^project\(Quillmark VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)" \
  "($(git rev-parse --short HEAD 2>/dev/null || echo "no git"))," \
  "measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of ${cpu_model:-an unknown CPU}, $(uname -sr)"
echo "# load average at the start: $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v cores="$(nproc)" '{ exit !($1 > cores / 2) }' /proc/loadavg &&
  echo "# the machine is busy: the start-up and CPU figures under Wine will be noisy; a quiet moment gives truer ones"
echo "# native: $(g++ -dumpfullversion 2>/dev/null | sed 's/^/g++ /'), release build," \
  "Google Benchmark $(dpkg-query -W -f='${Version}' libbenchmark-dev 2>/dev/null | cut -d- -f1), median of $repetitions"
if [ "$QM_WIN_PRESET" = windows ]; then
  echo "# under Wine: $(wine --version 2>/dev/null), the 32-bit build that ships"
else
  echo "# under Wine: $(wine --version 2>/dev/null) ($QM_WINE_ARCH): this machine runs 64-bit Windows programs only," \
    "so the Wine figures are of the $QM_WIN_PRESET build of the same sources; exe_bytes is of the 32-bit exe"
fi

# --- natively ---------------------------------------------------------------------
native=$(build/bench/bench/qm_bench --benchmark_repetitions="$repetitions" --benchmark_min_time=0.5 \
  2>"$out/logs/native.log") || problem "the native benchmarks failed (see $out/logs/native.log)"
for name in tick_idle_ns tick_input_ns save_us; do
  grep -E "^$name: " <<<"$native" || problem "no $name from the native benchmarks"
done
# Results of further benchmarks (bench/*_bench.cpp) follow.
grep -vE '^(tick_idle_ns|tick_input_ns|save_us): ' <<<"$native" | grep -E '^[a-z0-9_]+: '

# --- under Wine ---------------------------------------------------------------------
export WINEPREFIX=$here/build/bench-wineprefix-$QM_WINE_ARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
unset LC_ALL LC_CTYPE LC_NUMERIC LC_TIME LC_MESSAGES LANGUAGE
export LANG=en_US.UTF-8
source "$QM_WIN_BUILD/identity.sh"
MAIN=$QM_TITLE IDLE="Idle timer"
driver=$QM_WIN_BUILD/tests/e2e/qm_e2e_driver.exe

source "$here/tests/lib/harness.sh"
qm_start_screen "$out/logs/xvfb.log" || exit 1
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" >/dev/null 2>&1
  qm_wine_release
  qm_stop_screen
}
trap cleanup EXIT

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >"$out/logs/wineboot.log" 2>&1
  # One virtual desktop with a taskbar and a notification area, as in the end-to-end tests.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
fi

drv() { wine "$driver" "$@" 2>>"$out/logs/driver.log" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
mkdir -p "$out/quillmark" "$out/idle"
cp "$QM_WIN_BUILD/program/quillmark.exe" "$QM_WIN_BUILD/program/readme.txt" "$out/quillmark/"
cp "$QM_WIN_BUILD/bench/qm_idle_timer.exe" "$out/idle/"
before=${QM_BENCH_BEFORE:-}
if [ -n "$before" ]; then
  [ -f "$before" ] || { echo "bench: QM_BENCH_BEFORE=$before is no file" >&2; exit 1; }
  mkdir -p "$out/before"
  cp "$before" "$out/before/quillmark.exe"
  cp "$QM_WIN_BUILD/program/readme.txt" "$out/before/"
fi

# CPU time of a process so far, in clock ticks (user and system, all its threads).
cpu_ticks() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  stat=${stat##*) }
  set -- $stat
  echo $(( ${12} + ${13} ))
}
server_pid() { qm_wine_server_pid; }
fresh_wine() {  # nothing left running in the prefix; a new server holds it until the next fresh_wine
  qm_wine_hold || problem "no fresh wineserver for $WINEPREFIX"
}

# Letter keys at 8 a second for the measured seconds (a key held 25 ms, 100 ms between).
typing_keys() { for _ in $(seq $((seconds * 8))); do printf '0x%X ' $((0x41 + RANDOM % 26)); done; }

# One run: a fresh start of Wine and the program, 10 s to settle, then the
# CPU time of the program and the wineserver over the measured seconds,
# with keys typed meanwhile when MODE is typing.
# Sets run to "TICKS PROCESS_TICKS SERVER_TICKS PEAK_WORKING_SET_KB VMHWM_KB".
idle_run() {  # FOLDER EXE TITLE [MODE]
  local folder=$1 exe=$2 title=$3 mode=${4:-idle} server p1 s1 p2 s2 memory hwm typist=""
  run=""
  fresh_wine
  (cd "$folder" && exec wine "$exe" >>"$out/logs/programs.log" 2>&1) &
  program_pid=$!
  drv --timeout 60000 wait-window "$title" >/dev/null || { problem "$exe showed no window"; return 1; }
  sleep 10
  server=$(server_pid) || { problem "no wineserver for $WINEPREFIX"; return 1; }
  [[ "$(tr '\0' ' ' <"/proc/$program_pid/cmdline" 2>/dev/null)" == *"$exe"* ]] ||
    { problem "process $program_pid is not $exe"; return 1; }
  if [ "$mode" = typing ]; then
    drv activate "$title" >/dev/null
    # shellcheck disable=SC2046
    wine "$driver" --hold 25 --delay 100 keys $(typing_keys) >/dev/null 2>>"$out/logs/driver.log" &
    typist=$!
  fi
  p1=$(cpu_ticks "$program_pid") && s1=$(cpu_ticks "$server") || { problem "$exe ended early"; return 1; }
  sleep "$seconds"
  p2=$(cpu_ticks "$program_pid") && s2=$(cpu_ticks "$server") || { problem "$exe ended early"; return 1; }
  [ -n "$typist" ] && { kill "$typist" >/dev/null 2>&1; wait "$typist" 2>/dev/null; }
  # Measured from outside, once the CPU time is taken: the driver is a process of the prefix too.
  memory=$(drv process-memory "$title" | sed -nE 's/^peak_working_set_kb=([0-9]+) .*/\1/p')
  hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$program_pid/status" 2>/dev/null)
  kill "$program_pid" >/dev/null 2>&1
  wait "$program_pid" 2>/dev/null
  program_pid=""
  run="$((p2 - p1 + s2 - s1)) $((p2 - p1)) $((s2 - s1)) ${memory:-0} ${hwm:-0}"
}

hz=$(getconf CLK_TCK)
memories=()
sides="A B"
[ -n "$before" ] && sides="A B C"
for mode in idle typing; do
  sum_a=0 sum_b=0 sum_c=0
  for i in $(seq "$pairs"); do
    for side in $sides; do
      case $side in
        A) name=quillmark.exe; idle_run "$out/quillmark" "$name" "$MAIN" "$mode" ;;
        B) name=qm_idle_timer.exe; idle_run "$out/idle" "$name" "$IDLE" "$mode" ;;
        C) name="quillmark.exe before"; idle_run "$out/before" quillmark.exe "$MAIN" "$mode" ;;
      esac
      [ -n "$run" ] || continue
      read -r total process server memory hwm <<<"$run"
      echo "# $mode run $i $side, $name: $(awk -v t="$total" -v p="$process" -v s="$server" -v hz="$hz" \
        'BEGIN { printf "%.2f s CPU in '"$seconds"' s (process %.2f, wineserver %.2f)", t / hz, p / hz, s / hz }'),"\
        "peak working set $memory KB (Linux VmHWM $hwm kB)"
      case $side in
        A) sum_a=$((sum_a + total)); [ "$mode" = idle ] && memories+=("$memory") ;;
        B) sum_b=$((sum_b + total)) ;;
        C) sum_c=$((sum_c + total)) ;;
      esac
    done
  done
  suffix=""
  [ "$mode" = typing ] && suffix=_typing
  if [ "$sum_a" -gt 0 ] && [ "$sum_b" -gt 0 ]; then
    echo "cpu_ratio$suffix: $(awk -v a="$sum_a" -v b="$sum_b" 'BEGIN { printf "%.2f", a / b }')"
    [ "$sum_c" -gt 0 ] &&
      echo "cpu_ratio${suffix}_before: $(awk -v c="$sum_c" -v b="$sum_b" 'BEGIN { printf "%.2f", c / b }')"
  else
    problem "no CPU figures ($mode)"
  fi
done

# Start-up: the prefix booted and its desktop up (a first start not counted),
# kept alive between the starts by a driver that only sleeps. The bare
# window of the idle timer starts in turn with the program, for comparison:
# what Wine itself needs to start a program that shows a window.
fresh_wine
wine "$driver" sleep 3600000 >/dev/null 2>&1 &
program_pid=$!
timed_start() {  # TITLE EXE: prints the milliseconds to the visible window
  local t visible
  t=$(drv --timeout 30000 start-timed "$1" "$(winepath -w "$2" 2>/dev/null)")
  visible=$(sed -nE 's/^visible_ms=([0-9.]+) .*/\1/p' <<<"$t")
  [ -n "$visible" ] || { problem "$(basename "$2") showed no window titled $1"; return 1; }
  echo "$visible"
}
start_times=() bare_times=()
timed_start "$MAIN" "$out/quillmark/quillmark.exe" >/dev/null  # boots the desktop
for i in $(seq "$starts"); do
  q=$(timed_start "$MAIN" "$out/quillmark/quillmark.exe") && start_times+=("$q") || status=1
  b=$(timed_start "$IDLE" "$out/idle/qm_idle_timer.exe") && bare_times+=("$b") || status=1
  echo "# start $i: quillmark.exe ${q:-?} ms, qm_idle_timer.exe ${b:-?} ms to the visible window"
done
kill "$program_pid" >/dev/null 2>&1
program_pid=""
if [ "${#bare_times[@]}" -gt 0 ]; then
  echo "# the bare window's start, median: $(printf '%s\n' "${bare_times[@]}" | median | awk '{ printf "%.0f", $1 }') ms"
fi
if [ "${#start_times[@]}" -gt 0 ]; then
  echo "start_ms: $(printf '%s\n' "${start_times[@]}" | median | awk '{ printf "%.0f", $1 }')"
fi
if [ "${#memories[@]}" -gt 0 ]; then
  echo "working_set_kb: $(printf '%s\n' "${memories[@]}" | median | awk '{ printf "%.0f", $1 }')"
fi

source scripts/release-limits.sh
if exe=$(shipped_exe); then
  echo "exe_bytes: $(stat -c %s "$exe")"
  [ "$(stat -c %s "$exe")" -lt "$QM_EXE_BYTES_LIMIT" ] || problem "the shipped exe is not under $QM_EXE_BYTES_LIMIT bytes"
else
  problem "cannot make the shipped exe"
fi
echo "# load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
exit "$status"
