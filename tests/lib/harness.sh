# What the shell tests share: a virtual screen, the test runner and its
# assertions. Source it after scripts/wine-env.sh. A test is a function whose
# name starts with "test_"; the runner takes them in the order of the file.

# --- the screen -----------------------------------------------------------------
# qm_start_screen LOG: an Xvfb of its own (it picks a free display itself and
# says which, so two runs cannot take the same one); exports DISPLAY.
qm_start_screen() {
  local numbers
  numbers=$(mktemp "${TMPDIR:-/tmp}/qm-display.XXXXXX")
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$numbers" >"$1" 2>&1 &
  QM_XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$numbers" ] && break; sleep 0.1; done
  [ -s "$numbers" ] || { echo "Xvfb did not start: $(tail -n 3 "$1")" >&2; rm -f "$numbers"; return 1; }
  export DISPLAY=":$(head -n 1 "$numbers")"
  rm -f "$numbers"
}
qm_stop_screen() { [ -n "${QM_XVFB_PID:-}" ] && kill "$QM_XVFB_PID" >/dev/null 2>&1; QM_XVFB_PID=""; }

# --- programs, by process id only ------------------------------------------------
QM_STARTED=()
# qm_started PID: a program this run started, to be waited for by qm_wait_ended.
qm_started() { QM_STARTED+=("$1"); }
# qm_wait_ended [SECONDS]: until every program this run started has ended.
qm_wait_ended() {
  local deadline=$((SECONDS + ${1:-5})) pid
  for pid in "${QM_STARTED[@]}"; do
    while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
  done
  QM_STARTED=()
}

# --- assertions ----------------------------------------------------------------
qm_passed=0 qm_failed=0 current="" problems=""
fail() { problems+="    $*"$'\n'; }
expect_eq() {  # WHAT ACTUAL EXPECTED
  [ "$2" == "$3" ] || fail "$1: got [$2], expected [$3]"
}
expect_match() {  # WHAT TEXT REGEX
  [[ "$2" =~ $3 ]] || fail "$1: [$2] does not match /$3/"
}

# --- waiting for a condition, never for a time ----------------------------------
# Microseconds now; EPOCHREALTIME has the locale's decimal sign.
qm_now_us() { echo "${EPOCHREALTIME/[.,]/}"; }
qm_us() { awk -v s="$1" 'BEGIN { printf "%d", s * 1000000 }'; }
# qm_until SECONDS CMD...: runs CMD every tenth of a second until it
# succeeds; fails when SECONDS pass first.
qm_until() {
  local end=$(($(qm_now_us) + $(qm_us "$1")))
  shift
  until "$@"; do
    [ "$(qm_now_us)" -lt "$end" ] || return 1
    sleep 0.1
  done
}
# not CMD...: succeeds when CMD fails (for qm_until, which runs a command).
not() { ! "$@"; }
# qm_soon SECONDS EXPECTED CMD...: CMD's output once it is EXPECTED, or its
# last output when SECONDS pass first.
qm_soon() {
  local end=$(($(qm_now_us) + $(qm_us "$1"))) expected=$2 value
  shift 2
  while value=$("$@"); [ "$value" != "$expected" ] && [ "$(qm_now_us)" -lt "$end" ]; do sleep 0.1; done
  printf '%s' "$value"
}
# qm_soon_match SECONDS REGEX CMD...: as qm_soon, until the output matches.
qm_soon_match() {
  local end=$(($(qm_now_us) + $(qm_us "$1"))) regex=$2 value
  shift 2
  while value=$("$@"); ! [[ "$value" =~ $regex ]] && [ "$(qm_now_us)" -lt "$end" ]; do sleep 0.1; done
  printf '%s' "$value"
}
# expect_soon WHAT EXPECTED CMD...: CMD's output becomes EXPECTED within 10 s.
expect_soon() { expect_eq "$1" "$(qm_soon 10 "$2" "${@:3}")" "$2"; }
expect_soon_match() { expect_match "$1" "$(qm_soon_match 10 "$2" "${@:3}")" "$2"; }
# expect_stays WHAT EXPECTED SECONDS CMD...: CMD's output is EXPECTED and stays
# so for SECONDS, the time in which what must not happen would have happened.
expect_stays() {
  local end=$(($(qm_now_us) + $(qm_us "$3"))) value
  while value=$("${@:4}"); [ "$value" == "$2" ]; do
    [ "$(qm_now_us)" -lt "$end" ] || return 0
    sleep 0.1
  done
  fail "$1: got [$value], expected it to stay [$2]"
}

# --- the runner ------------------------------------------------------------------
# qm_tests_of FILE [PREFIX]: the tests of FILE (functions named PREFIX...,
# "test_" by default), in the order they are written.
qm_tests_of() { grep -oE "^${2:-test_}[a-z0-9_]+\(\)" "$1" | tr -d '()'; }

# qm_run_test NAME [LOG...]: runs one test and says PASS or FAIL with its
# problems. Lines of Wine's own failures that the logs gained meanwhile put
# the blame on Wine first. QM_BEFORE_TEST and QM_AFTER_TEST, when set, name
# functions run around each test.
qm_run_test() {
  local name=$1 t0=$SECONDS log faults="" sizes=()
  shift
  current=${name#*test_}
  problems=""
  [ -n "${QM_BEFORE_TEST:-}" ] && "$QM_BEFORE_TEST"
  for log in "$@"; do sizes+=("$(stat -c %s "$log" 2>/dev/null || echo 0)"); done
  "$name"
  [ -n "${QM_AFTER_TEST:-}" ] && "$QM_AFTER_TEST"
  local i=0 found
  for log in "$@"; do
    if found=$(qm_wine_faults "$log" "${sizes[$i]}"); then faults+="$found"$'\n'; fi
    i=$((i + 1))
  done
  if [ -n "$faults" ]; then
    problems="    Wine itself failed during this test, so its checks say nothing about the program:"$'\n'"$(sed '/^$/d; s/^/      /' <<<"$faults")"$'\n'"$problems"
  fi
  if [ -z "$problems" ]; then
    qm_passed=$((qm_passed + 1)); echo "PASS $current ($((SECONDS - t0)) s)"
  else
    qm_failed=$((qm_failed + 1)); echo "FAIL $current ($((SECONDS - t0)) s)"; printf '%s' "$problems"
  fi
}

# qm_summary LABEL: "LABEL: N passed, M failed"; fails when one failed.
qm_summary() {
  echo "$1: $qm_passed passed, $qm_failed failed"
  [ "$qm_failed" -eq 0 ]
}
