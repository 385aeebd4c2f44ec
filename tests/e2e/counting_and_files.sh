# shellcheck shell=bash
# The counting and the statistics file: what a start makes, what typing and the
# mouse count, saves, damaged or odd files, figures at their limits, regional
# settings and very deep folders.
# Sourced by scripts/e2e.sh, which runs the test_ functions in file order.

test_first_start_creates_the_file() {
  new_folder
  start_shown || return
  expect_eq "stat.dat" "$(tr -d '\r' <"$prog/stat.dat" | paste -sd '|')" "0|0|0|0|0|0|0||False"
  expect_eq "all-time caption" "$(label $ALL_BOX)" "Статистика за все время (с $today)"
  expect_eq "window" "$(drv window-info "$MAIN" | cut -d' ' -f1-3)" "visible=1 iconic=0 outer=562,366"
  [ -n "$(tray_icon)" ] || fail "no tray icon with the tip Quillmark"
  [ ! -e "$prog/DbgFile.dat" ] || fail "DbgFile.dat written at a normal start"
}

test_counts_keys_and_mouse_then_saves_them() {
  new_folder
  start_shown || return
  drv move 600 600 >/dev/null
  local base px
  base=$(settled $CUR_PIXELS)
  drv type "quill mark" 150 >/dev/null            # 10 key presses
  # 500 pixels in ten steps of exactly 50, then 461 more (xdotool moves the
  # pointer without the brief jumps back that SendInput shows under Wine).
  glide 600 600 30 -40 10
  xdotool mousemove 800 650
  settled $CUR_PIXELS >/dev/null
  drv click 800 650 left >/dev/null               # a click on the empty desktop, where the pointer is
  expect_soon "clicks" "1/1" labels $CUR_CLICKS $ALL_CLICKS
  expect_eq "keys, current run" "$(label $CUR_KEYS)" "10"
  expect_eq "keys, all time" "$(label $ALL_KEYS)" "10"
  px=$(label $CUR_PIXELS)
  if [[ "$base" =~ ^[0-9]+$ && "$px" =~ ^[0-9]+$ ]]; then
    expect_eq "pixels travelled" "$((px - base))" "961"
  else
    fail "pixels [$base] then [$px]"
  fi
  expect_eq "pixels, all time" "$(label $ALL_PIXELS)" "$px"
  expect_match "meters" "$(label $CUR_METERS)" '^0\.[0-9]{2}$'
  shot main-counting
  # The periodic save comes within a minute.
  expect_eq "stat.dat line 1 (keys)" "$(qm_soon 70 10 stat_line 1)" "10"
  expect_eq "stat.dat line 3 (pixels)" "$(stat_line 3)" "$px"
  expect_eq "stat.dat line 6 (clicks)" "$(stat_line 6)" "1"
  expect_eq "stat.dat line 8 (date)" "$(stat_line 8)" "$today"
}

# Without input the program skips its scan of the keys; the first keys after
# a quiet while are all counted, typed quickly or slowly or stamped alike.
test_keys_after_ten_idle_seconds_are_all_counted() {
  new_folder
  start_shown || return
  xdotool mousemove 900 700
  settled $CUR_PIXELS >/dev/null
  sleep 10  # the quiet while itself: no input reaches the session
  drv type "quillmark" 60 >/dev/null
  expect_soon "keys typed at 60 ms after ten idle seconds" "9" label $CUR_KEYS
  sleep 10
  drv type "idle" 200 >/dev/null
  expect_soon "keys typed at 200 ms after ten more" "13" label $CUR_KEYS
  expect_stays "keys once typing has stopped" "13" 1 label $CUR_KEYS
  drv --stamp start --delay 150 keys 0x51 0x51 0x51 0x51 0x51 0x51 0x51 0x51 0x51 0x51 >/dev/null
  expect_soon "ten keys that their program stamped alike" "23" label $CUR_KEYS
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  expect_eq "stat.dat line 1 after Exit" "$(stat_line 1)" "23"
}

test_damaged_file_is_reported_and_kept() {
  new_folder
  printf '1\r\n0\r\n3000000000\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nFalse\r\n' >"$prog/stat.dat"
  local before
  before=$(md5sum <"$prog/stat.dat")
  start
  local text pid=$!
  text=$(drv msgbox Quillmark | box_text)
  expect_match "message" "$text" 'stat\.dat, line 3'
  shot damaged-file
  drv answer Quillmark OK >/dev/null
  qm_until 5 ended "$pid" || fail "the program still runs"
  expect_eq "stat.dat unchanged" "$(md5sum <"$prog/stat.dat")" "$before"
}

test_german_settings_on_screen_points_in_the_file() {
  # Every Windows program of the session under German settings, as on a
  # German Windows (Wine keeps one set of regional settings per session).
  local -x LANG=de_DE.UTF-8
  new_folder
  printf '15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n' >"$prog/stat.dat"
  start_shown || return
  expect_soon "all-time meters" "1.291,96" label $ALL_METERS
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  # The real numbers keep their "." in the file.
  expect_eq "stat.dat lines 1 to 5 after a save" "$(tr -d '\r' <"$prog/stat.dat" | head -n 5 | paste -sd '|')" \
    "15234|812.37|4521873|9876|1543.2"
  start  # a refused copy: the log's seconds in the regional format
  drv answer Quillmark OK >/dev/null
  expect_soon_match "log line" '\([0-9.]+,[0-9]{5}\): PrevInstance detected$' line "$prog/DbgFile.dat" 1
}

test_all_time_figure_at_its_limit_keeps_saving() {
  new_folder
  printf '7\r\n0\r\n2147483000\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nFalse\r\n' >"$prog/stat.dat"
  start_shown || return
  xdotool mousemove 100 100
  settled $CUR_PIXELS >/dev/null
  glide 100 100 60 80 10   # 1,000 px
  drv type "limit" 120 >/dev/null
  expect_soon "keys on screen" "5" label $CUR_KEYS
  expect_eq "all-time pixels on screen" "$(label $ALL_PIXELS)" "2147483647"
  expect_eq "all-time meters on screen" "$(label $ALL_METERS)" "613,566.76"
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "confirmation" "$(drv answer Quillmark OK | box_text)" "Statistics saved sucessfully"
  local notice
  notice=$(drv msgbox Quillmark | box_text)
  expect_match "notice" "$notice" 'Covered pixels on display.*2147483647.*Reset common statistics'
  shot limit-notice
  drv answer Quillmark OK >/dev/null
  expect_eq "stat.dat line 3" "$(stat_line 3)" "2147483647"
  expect_eq "stat.dat line 1" "$(stat_line 1)" "12"
  expect_eq "log lines" "$(tr -d '\r' <"$prog/DbgFile.dat" | wc -l)" "1"
  drv type "ab" 120 >/dev/null
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit asked something or did not end the program"; drv --timeout 500 msgbox Quillmark >>"$out/driver.log" 2>&1; return; }
  expect_eq "stat.dat line 1 after Exit" "$(stat_line 1)" "14"
  expect_eq "stat.dat line 3 after Exit" "$(stat_line 3)" "2147483647"
  stop_all
  start_shown || return
  expect_soon "all-time keys after the restart" "14" label $ALL_KEYS
  expect_eq "no message at the restart" "$(drv --timeout 1500 msgbox Quillmark 2>/dev/null | box_text)" ""
}

test_leftover_temporary_file_is_removed_at_start() {
  new_folder
  printf '15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n' >"$prog/stat.dat"
  printf '99\r\n0\r\n' >"$prog/stat.dat.tmp"   # half a save, cut off by a crash
  local before
  before=$(md5sum <"$prog/stat.dat")
  start_shown || return
  [ ! -e "$prog/stat.dat.tmp" ] || fail "stat.dat.tmp is still there after the start"
  expect_eq "stat.dat after the start" "$(md5sum <"$prog/stat.dat")" "$before"
  expect_eq "all-time keys" "$(drv wait-text "$MAIN" $ALL_KEYS 15234)" "15234"
}

test_file_that_cannot_be_looked_at_is_reported_and_kept() {
  new_folder
  # A link to itself: asked for the file's attributes, the system can say
  # neither "there" nor "not found" (on Windows, access denied does the same).
  ln -s stat.dat "$prog/stat.dat"
  start
  local text
  text=$(drv msgbox Quillmark | box_text)
  expect_match "message" "$text" '^Quillmark cannot look at its statistics file:'
  expect_match "message names the file" "$text" 'stat\.dat: '
  shot unreadable-file
  drv answer Quillmark OK >/dev/null
  drv wait-gone "$MAIN" >/dev/null || fail "a main window after the message"
  expect_eq "stat.dat" "$(readlink "$prog/stat.dat")" "stat.dat"
  expect_eq "files in the folder" "$(ls "$prog" | tr '\n' ' ')" "quillmark.exe readme.txt stat.dat "
}

test_works_in_a_folder_deeper_than_the_path_limit() {
  new_folder
  local deep=$prog level=0
  # The program sees Z: and the Unix path (winepath -w stops at 260 characters).
  while [ "${#deep}" -lt 300 ]; do
    level=$((level + 1))
    deep+="/a folder nested deeper and deeper, level $level"
  done
  mkdir -p "$deep"
  mv "$prog/quillmark.exe" "$prog/readme.txt" "$deep/"
  prog=$deep
  start_shown || return
  expect_eq "stat.dat created" "$(tr -d '\r' <"$prog/stat.dat" | paste -sd '|')" "0|0|0|0|0|0|0||False"
  drv type "deep" 120 >/dev/null
  wait_label $CUR_KEYS 4
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "after Save statistics" "$(drv answer Quillmark OK | box_text)" "Statistics saved sucessfully"
  expect_eq "stat.dat keys" "$(stat_line 1)" "4"
  expect_eq "stat.dat date" "$(stat_line 8)" "$today"
  start  # a refused copy writes its line to the log
  drv answer Quillmark OK >/dev/null
  expect_soon_match "log line" 'PrevInstance detected$' line "$prog/DbgFile.dat" 1
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || fail "Exit did not end the program"
  expect_eq "files in the folder" "$(ls "$prog" | tr '\n' ' ')" "DbgFile.dat history history.csv quillmark.exe readme.txt stat.dat "
  # Today's hours in the month file, summed column by column, are today's row of history.csv.
  local day hours row
  day=$(date +%Y-%m-%d)
  hours=$(tr -d '\r' <"$prog/history/$(date +%Y-%m)-hours.csv" | awk -F, -v d="$day" '$1 == d {
    for (i = 3; i <= 9; i++) s[i] += $i } END { printf "%d,%d,%d,%d,%.2f,%.2f,%d", s[3], s[4], s[5], s[6], s[7], s[8], s[9] }')
  row=$(tr -d '\r' <"$prog/history.csv" | awk -F, -v d="$day" '$1 == d {
    printf "%d,%d,%d,%d,%.2f,%.2f,%d", $2, $3, $4, $5, $6, $7, $8 }')
  expect_match "today's keys in the month file" "$hours" '^4,'
  expect_eq "today's hours against today's row" "$hours" "$row"
}

# A number beyond the range of a double on line 9 is no flag: the program
# starts, registered to start with Windows.
test_line9_beyond_a_double_starts_with_windows() {
  clear_run_values
  new_folder
  printf '5\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\n1e999\r\n' >"$prog/stat.dat"
  start
  drv wait-window "$MAIN" >/dev/null ||
    { fail "no main window; message: [$(drv --timeout 500 msgbox Quillmark 2>/dev/null | box_text)]"; return; }
  expect_soon "all-time keys" "5" label $ALL_KEYS
  shot line9-beyond-a-double
  expect_eq "check mark of Run at start" "$(checked File "Run at start")" "1"
  expect_eq "Run value" "$(run_value)" "$(win_path "$prog")\\quillmark.exe /hiden"
  drv choose "$MAIN" File "Run at start" >/dev/null  # the Run value goes again
  expect_soon "Run value after unchecking" "" run_value
}

# The largest double on line 2 is saved as a number that loads again.
test_largest_double_is_saved_so_that_it_loads() {
  new_folder
  printf '0\r\n1.7976931348623157e308\r\n0\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nFalse\r\n' >"$prog/stat.dat"
  start_shown || return
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "confirmation" "$(drv answer Quillmark OK | box_text)" "Statistics saved sucessfully"
  expect_eq "stat.dat line 2 after the save" "$(stat_line 2)" "1.7976931348623157e308"
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  expect_eq "stat.dat line 2 after Exit" "$(stat_line 2)" "1.7976931348623157e308"
  start
  drv wait-window "$MAIN" >/dev/null ||
    { fail "no main window after the restart; message: [$(drv --timeout 500 msgbox Quillmark 2>/dev/null | box_text)]"; return; }
  expect_eq "message at the restart" "$(drv --timeout 1500 msgbox Quillmark 2>/dev/null | box_text)" ""
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_eq "stat.dat line 2 after the next save" "$(stat_line 2)" "1.7976931348623157e308"
}
