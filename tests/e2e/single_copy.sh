# shellcheck shell=bash
# One copy per session and one per statistics file, however its folder is
# spelled; what a refused start writes and what it leaves alone.
# Sourced by scripts/e2e.sh, which runs the test_ functions in file order.

test_second_copy_is_refused() {
  new_folder
  start_shown || return
  local before
  before=$(md5sum <"$prog/stat.dat")
  for round in 1 2; do
    start
    local text
    text=$(drv answer Quillmark OK | box_text)
    expect_eq "message of refusal $round" "$text" "Копия программы уже запущена"
    expect_soon "DbgFile.dat lines after refusal $round" "$round" lines_of "$prog/DbgFile.dat"
  done
  expect_match "log line 1" "$(line "$prog/DbgFile.dat" 1)" '^.+\.\([0-9,]+\.[0-9]{5}\): PrevInstance detected$'
  local t1 t2
  t1=$(line "$prog/DbgFile.dat" 1 | sed -E 's/.*\(([0-9,.]+)\).*/\1/' | tr -d ,)
  t2=$(line "$prog/DbgFile.dat" 2 | sed -E 's/.*\(([0-9,.]+)\).*/\1/' | tr -d ,)
  awk -v a="$t1" -v b="$t2" 'BEGIN { exit !(b > a) }' || fail "log lines out of order: $t1 then $t2"
  expect_eq "stat.dat untouched" "$(md5sum <"$prog/stat.dat")" "$before"
  expect_eq "windows titled $MAIN" "$(main_windows)" "1"
  expect_eq "tray icons" "$(tray_icons)" "1"
}

test_second_copy_from_another_folder_is_refused() {
  new_folder
  local first=$prog
  start_shown || return
  drv type "one" 120 >/dev/null
  local before
  before=$(md5sum <"$first/stat.dat")
  new_folder   # another copy of the program, in another folder, same session
  start
  expect_eq "message of refusal" "$(drv answer Quillmark OK | box_text)" "Копия программы уже запущена"
  expect_soon "log lines of the refused copy" "1" lines_of "$prog/DbgFile.dat"
  expect_match "log line" "$(line "$prog/DbgFile.dat" 1)" 'PrevInstance detected$'
  [ ! -e "$prog/stat.dat" ] || fail "the refused copy made a stat.dat"
  expect_eq "first copy's stat.dat" "$(md5sum <"$first/stat.dat")" "$before"
  expect_eq "windows titled $MAIN" "$(main_windows)" "1"
  expect_eq "tray icons" "$(tray_icons)" "1"
}

# One stat.dat reached as \\?\..., through another drive letter and through a
# link. While a copy runs, the lock file beside stat.dat turns away every
# spelling, and a start under each is refused. A copy elsewhere (another
# session or computer; here the driver holds the lock file for it) refuses
# starts by the lock file alone.
test_other_spellings_of_the_folder_are_refused() {
  new_folder
  local win link="$out/link$folder_n" drive="$WINEPREFIX/dosdevices/q:" s before opened
  start_shown || return
  [ -f "$prog/stat.dat.lock" ] || fail "no stat.dat.lock beside stat.dat while the program runs"
  win=$(win_path "$prog")
  ln -sfn "$prog" "$link"
  ln -sfn "$prog" "$drive"  # a drive letter, as Wine makes them (its subst.exe does nothing)
  local spellings=("\\\\?\\$win" "Q:" "$(win_path "$link")")
  drv type "abc" 120 >/dev/null
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  before=$(md5sum <"$prog/stat.dat")
  for s in "${spellings[@]}"; do
    opened=$(wine "$driver" hold-file "$s\\stat.dat.lock" "$s\\no-such-file" 2>&1 | tr -d '\r')
    expect_match "$s: opening the lock file while the program runs" "$opened" "cannot open .*: error 32$"
    drv launch "$s\\quillmark.exe" >/dev/null || { fail "$s: cannot start the program"; continue; }
    expect_eq "$s: message of refusal" "$(drv answer Quillmark OK | box_text)" "Копия программы уже запущена"
  done
  expect_stays "stat.dat after the refused starts" "$before" 0.5 md5_of "$prog/stat.dat"
  expect_eq "windows titled $MAIN" "$(main_windows)" "1"
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  qm_until 5 [ ! -e "$prog/stat.dat.lock" ] || fail "stat.dat.lock stays after Exit"

  : >"$prog/stat.dat.lock"
  : >"$prog/holding"
  before=$(md5sum <"$prog/stat.dat")
  local log_before holder
  log_before=$(tr -d '\r' <"$prog/DbgFile.dat" | wc -l)
  wine "$driver" --timeout 60000 hold-file "$win\\stat.dat.lock" "$win\\holding" >"$out/holder.txt" 2>>"$out/driver.log" &
  holder=$!
  qm_until 10 grep -qs holding "$out/holder.txt" || fail "the driver could not hold the lock file"
  for s in "$win" "${spellings[@]}"; do
    drv launch "$s\\quillmark.exe" >/dev/null || { fail "$s: cannot start the program"; continue; }
    expect_eq "$s: refusal by the lock file" "$(drv answer Quillmark OK | box_text)" "Копия программы уже запущена"
  done
  expect_soon "log lines of the refusals" "$((log_before + 4))" lines_of "$prog/DbgFile.dat"
  expect_match "log line" "$(tr -d '\r' <"$prog/DbgFile.dat" | tail -n 1)" \
    'PrevInstance detected: a copy in another session or on another computer uses this stat.dat$'
  expect_eq "stat.dat while a copy elsewhere holds it" "$(md5sum <"$prog/stat.dat")" "$before"
  expect_eq "windows titled $MAIN" "$(main_windows)" "0"
  rm -f "$prog/holding"
  wait "$holder"
  rm -f "$drive" "$link"
}

# A killed copy holds nothing: its lock file goes with it and the next start runs.
test_killed_copy_lets_the_next_start_run() {
  new_folder
  local pid
  start
  pid=$!
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  [ -f "$prog/stat.dat.lock" ] || fail "no stat.dat.lock while the program runs"
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  drv --timeout 5000 wait-gone "$MAIN" >/dev/null || fail "the killed program's window stays"
  qm_until 5 [ ! -e "$prog/stat.dat.lock" ] || fail "the killed copy's stat.dat.lock stays"
  start
  drv wait-window "$MAIN" >/dev/null ||
    fail "the start after the kill does not run; message: [$(drv --timeout 500 msgbox Quillmark 2>/dev/null | box_text)]"
}

# Where the lock file cannot be made, the start is refused with the folder
# and the reason, and nothing there is touched. A folder of that name stands
# in for a folder the user may not write to (the tests may run as root,
# whom file modes do not stop).
test_folder_without_a_lock_file_is_named() {
  new_folder
  printf '5\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nFalse\r\n' >"$prog/stat.dat"
  mkdir "$prog/stat.dat.lock"
  local before text
  before=$(md5sum <"$prog/stat.dat")
  start
  local pid=$!
  drv msgbox Quillmark >/dev/null || fail "no message"
  shot no-lock-file
  text=$(printf '%b' "$(drv answer Quillmark OK | box_text)")
  expect_match "message" "$text" "^Quillmark cannot start in its folder:"
  [[ "$text" == *$'\n'"$(win_path "$prog")"$'\n'* ]] || fail "the message does not name the folder: [$text]"
  expect_match "message gives the reason" "$text" "cannot be created: [A-Z]"
  qm_until 5 ended "$pid" || fail "the program still runs after its message"
  expect_eq "stat.dat" "$(md5sum <"$prog/stat.dat")" "$before"
  [ ! -e "$prog/DbgFile.dat" ] || fail "the refused start wrote DbgFile.dat"
  expect_eq "windows titled $MAIN" "$(main_windows)" "0"
}
