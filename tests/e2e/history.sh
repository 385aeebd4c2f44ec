# shellcheck shell=bash
# The daily history.csv: a row per day that adds up to stat.dat, kept whole
# under German settings, a damaged file, a spreadsheet holding it, and kills.
# Sourced by scripts/e2e.sh, which runs the test_ functions in file order.

HISTORY_HEADER="date,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds"
history_day=$(date +%Y-%m-%d)
history_lines() { tr -d '\r' <"$prog/history.csv"; }
# A fresh folder's history holds what stat.dat holds: compare today's row with it.
expect_row_matches_stat_dat() {  # WHAT
  local row keys clicks pixels letters typing other seconds
  row=$(history_lines | sed -n 2p)
  expect_eq "$1: lines of history.csv" "$(history_lines | wc -l)" "2"
  expect_eq "$1: line ends" "$(grep -c $'\r$' "$prog/history.csv")" "2"
  expect_match "$1: row" "$row" "^$history_day,[0-9]+,[0-9]+,[0-9]+,[0-9]+,[0-9.]+,[0-9.]+,[0-9]+\$"
  IFS=, read -r _ keys clicks pixels letters typing other seconds <<<"$row"
  expect_eq "$1: keys, clicks, pixels, letters, passed seconds" "$keys $clicks $pixels $letters $seconds" \
    "$(stat_line 1) $(stat_line 6) $(stat_line 3) $(stat_line 4) $(stat_line 7)"
  awk -v a="$typing" -v b="$(stat_line 5)" -v c="$other" -v d="$(stat_line 2)" \
    'BEGIN { exit !((a - b) ^ 2 < 1e-6 && (c - d) ^ 2 < 1e-6) }' ||
    fail "$1: seconds $typing and $other, stat.dat has $(stat_line 5) and $(stat_line 2)"
}
# Each column of history.csv summed up, in stat.dat's line order: keys (1),
# other keys' seconds (2), pixels (3), letters (4), typing seconds (5),
# clicks (6), passed seconds (7); and stat.dat's lines 1 to 7.
history_sums() {
  tr -d '\r' <"$prog/history.csv" | awk -F, 'NR > 1 { k += $2; c += $3; p += $4; l += $5; t += $6; o += $7; s += $8 }
    END { printf "%d %.9f %d %d %.9f %d %d\n", k, o, p, l, t, c, s }'
}
stat_figures() { tr -d '\r' <"$prog/stat.dat" | head -n 7 | paste -sd ' '; }
# The counts equal, the seconds within the rounding of the real text.
expect_sums_match() {  # WHAT
  local sums figures
  sums=$(history_sums) figures=$(stat_figures)
  awk -v a="$sums" -v b="$figures" 'BEGIN { n = split(a, x, " "); split(b, y, " ")
      for (i = 1; i <= 7; i++) if (i == 2 || i == 5 ? (x[i] - y[i]) ^ 2 > 1e-8 : x[i] != y[i]) exit 1 }' ||
    fail "$1: history.csv's columns add up to [$sums], stat.dat holds [$figures]"
}

test_history_of_a_save_and_of_exit() {
  new_folder
  start_shown || return
  [ ! -e "$prog/history.csv" ] || fail "history.csv made before anything was counted"
  drv type "quill" 150 >/dev/null
  drv click 700 600 left >/dev/null
  expect_soon "keys and clicks" "5/1" labels $CUR_KEYS $CUR_CLICKS
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_eq "header" "$(history_lines | head -n 1)" "$HISTORY_HEADER"
  expect_eq "keys in stat.dat" "$(stat_line 1)" "5"
  expect_row_matches_stat_dat "after Save statistics"
  drv type "mark" 150 >/dev/null
  wait_label $CUR_KEYS 9
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  expect_eq "keys in stat.dat after Exit" "$(stat_line 1)" "9"
  expect_row_matches_stat_dat "after Exit"
  cp "$prog/history.csv" "$out/history-after-exit.csv"
}

# Which keys: a row per code and day in the month file of keys, adding up to
# history.csv's keys and clicks.
test_keys_of_a_save_land_in_the_month_file_of_keys() {
  new_folder
  start_shown || return
  drv type "aaab  " 150 >/dev/null
  drv click 700 600 left >/dev/null
  expect_soon "keys and clicks" "6/1" labels $CUR_KEYS $CUR_CLICKS
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  local keys="$prog/history/$(date +%Y-%m)-keys.csv"
  expect_eq "header" "$(tr -d '\r' <"$keys" | head -n 1)" "date,key_code,key_name,presses"
  expect_eq "rows" "$(tr -d '\r' <"$keys" | tail -n +2 | paste -sd ' ')" \
    "$history_day,1,Left button,1 $history_day,32,Space,2 $history_day,65,A,3 $history_day,66,B,1"
  expect_eq "keys and clicks of history.csv" "$(history_lines | sed -n 2p | cut -d, -f2,3)" "6,1"
  cp "$keys" "$out/keys-after-save.csv"
}

test_history_keeps_points_under_german_settings() {
  local -x LANG=de_DE.UTF-8
  new_folder
  start_shown || return
  drv type "typing" 250 >/dev/null
  wait_label $CUR_KEYS 6
  expect_match "meters with a decimal comma" "$(label $CUR_METERS)" '^[0-9]+,[0-9]{2}$'
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_row_matches_stat_dat "German settings"
  # Letters 250 ms apart are typing: its seconds have a fraction, written with a point.
  expect_match "typing seconds" "$(history_lines | sed -n 2p | cut -d, -f6)" '^[0-9]+\.[0-9]+$'
}

test_damaged_history_is_set_aside() {
  new_folder
  printf 'date;keys_pressed;mouse_clicks\r\n2026-01-05;120;7\r\n' >"$prog/history.csv"
  cp "$prog/history.csv" "$out/history-damaged.csv"
  start_shown || return
  drv type "ab" 150 >/dev/null
  wait_label $CUR_KEYS 2
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "confirmation" "$(drv answer Quillmark OK | box_text)" "Statistics saved sucessfully"
  expect_eq "keys in stat.dat" "$(stat_line 1)" "2"
  local kept
  kept=$(cd "$prog" && ls history-damaged-*.csv 2>/dev/null)
  expect_match "the damaged file's new name" "$kept" '^history-damaged-[0-9]{8}-[0-9]{6}\.csv$'
  [ -n "$kept" ] && { cmp -s "$prog/$kept" "$out/history-damaged.csv" || fail "$kept differs from the damaged file"; }
  expect_match "log line" "$(line "$prog/DbgFile.dat" 1)" "history\.csv is damaged .*kept as $kept"
  expect_eq "header of the new history" "$(history_lines | head -n 1)" "$HISTORY_HEADER"
  expect_row_matches_stat_dat "new history"
  expect_eq "main window after the save" "$(visible "$MAIN")" "1"
}

# A spreadsheet opens history.csv without sharing: nothing may read or
# replace it until it is closed. What is counted meanwhile waits in
# history.pending, across an Exit, and reaches history.csv at the first save
# after the spreadsheet has closed it.
test_history_held_by_a_spreadsheet_loses_nothing() {
  new_folder
  start_shown || return
  drv type "sheet" 120 >/dev/null
  wait_label $CUR_KEYS 5
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  [ -f "$prog/history.csv" ] || { fail "no history.csv after the first save"; return; }
  local open_flag="$out/spreadsheet-open-$folder_n" holder
  touch "$open_flag"
  wine "$driver" --timeout 600000 hold-file "$(win_path "$prog/history.csv")" "$(win_path "$open_flag")" \
    >"$out/spreadsheet-$folder_n.txt" 2>>"$out/driver.log" &
  holder=$!
  qm_until 10 grep -qs holding "$out/spreadsheet-$folder_n.txt" || { fail "the spreadsheet stand-in could not open history.csv"; rm -f "$open_flag"; return; }
  cp "$prog/history.csv" "$out/history-while-held.csv"
  drv type "spreadsheet" 120 >/dev/null
  wait_label $CUR_KEYS 16
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "confirmation while history.csv is held" "$(drv answer Quillmark OK | box_text)" "Statistics saved sucessfully"
  expect_eq "keys in stat.dat" "$(stat_line 1)" "16"
  drv type "exit" 120 >/dev/null
  wait_label $CUR_KEYS 20
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; rm -f "$open_flag"; return; }
  cmp -s "$prog/history.csv" "$out/history-while-held.csv" || fail "history.csv changed while it was held"
  [ -f "$prog/history.pending" ] || fail "no history.pending keeps what history.csv is owed"
  expect_eq "keys in stat.dat after Exit" "$(stat_line 1)" "20"
  # The spreadsheet closes the file; the next run's first save catches up.
  rm -f "$open_flag"
  wait "$holder" 2>/dev/null
  start_shown || return
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_sums_match "after the spreadsheet closed it"
  expect_row_matches_stat_dat "after the spreadsheet closed it"
  [ ! -e "$prog/history.pending" ] || fail "history.pending is left although nothing is owed"
}

# A history.csv just under the largest the program reads, of the shortest
# rows (a day each since 1900): the save that reads and rewrites it runs on
# the sampler's thread, and one key pressed every 150 ms across it still
# counts every press. (Closer presses can merge while the disk makes the
# save's flush wait, on a busy machine: the CPU it costs is in the benchmarks.)
test_history_at_its_largest_loses_no_press_at_a_save() {
  new_folder
  awk -v limit=$((1 << 20)) -v header="$HISTORY_HEADER" 'BEGIN {
      split("31 28 31 30 31 30 31 31 30 31 30 31", days, " ")
      printf "%s\r\n", header; size = length(header) + 2; y = 1900; m = 1; d = 1
      while (size + 26 <= limit - 100) {
        printf "%04d-%02d-%02d,0,0,0,0,0,0,0\r\n", y, m, d; size += 26
        leap = (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0)) && m == 2
        if (++d > days[m] + leap) { d = 1; if (++m > 12) { m = 1; y++ } }
      } }' >"$prog/history.csv"
  local rows
  rows=$(history_lines | wc -l)
  start_shown || return
  ( sleep 1; drv choose "$MAIN" File "Save statistics" >/dev/null; drv answer Quillmark OK >/dev/null ) &
  local saver=$!
  drv --delay 150 keys $(printf '0x51 %.0s' $(seq 40)) >/dev/null
  wait "$saver"
  expect_soon "presses of one key across a save" "40" label $CUR_KEYS
  expect_eq "the save reached stat.dat" "$(stat_line 1 | awk '$1 > 0 { print "yes" }')" "yes"
  expect_eq "rows after the save" "$(history_lines | wc -l)" "$((rows + 1))"
  expect_sums_match "the largest history"
}

# The program killed at random moments while it saves again and again, with
# keys typed meanwhile: every figure that reached stat.dat reaches history.csv
# once. The saves are spaced, so that the 60 ms timer still runs between them.
test_history_survives_kills_during_saves() {
  new_folder
  local round pid saver typist
  for round in 1 2 3 4 5 6; do
    start
    pid=$!
    drv wait-window "$MAIN" >/dev/null || { fail "no main window in round $round"; return; }
    ( for _ in $(seq 40); do
        drv choose "$MAIN" File "Save statistics" >/dev/null 2>&1 || break
        drv --timeout 3000 answer Quillmark OK >/dev/null 2>&1
        sleep 0.2   # a pause between saves, for the 60 ms timer
      done ) &
    saver=$!
    ( for _ in $(seq 40); do drv --delay 60 keys 0x51 0x4D 0x52 0x4B >/dev/null 2>&1 || break; done ) &
    typist=$!
    sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 1.5 + (r % 250) / 100 }')"   # the kill's random moment
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    kill "$saver" "$typist" 2>/dev/null
    wait "$saver" "$typist" 2>/dev/null
    drv --timeout 5000 wait-gone "$MAIN" >/dev/null || fail "round $round: the killed program's window stays"
  done
  cp "$prog/stat.dat" "$out/stat-after-kills.dat"
  [ -f "$prog/history.csv" ] && cp "$prog/history.csv" "$out/history-after-kills.csv"
  start_shown || return
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  expect_match "keys in stat.dat" "$(stat_line 1)" '^[1-9][0-9]+$'
  expect_sums_match "after six kills"
}

# --- the History window ------------------------------------------------------------
HISTORY="Quillmark history"
history_detail() { drv text "$HISTORY" "$history_txtDetail"; }
history_windows() { drv list-windows | awk -F'\t' -v t="$HISTORY" '$5 == t && $4 == 1' | wc -l; }
# The 40 days before today: the day i days back has 1000 + 37 i keys and 10 + i clicks.
write_history_fixture() {
  local i
  { echo "$HISTORY_HEADER"
    for i in $(seq 40 -1 1); do
      echo "$(date -d "-$i days" +%Y-%m-%d),$((1000 + 37 * i)),$((10 + i)),$((35000 * i)),$((800 + i)),300.5,20.25,3600"
    done
  } | sed 's/$/\r/' >"$prog/history.csv"
}
day_text() { date -d "-$1 days" +%-m/%-d/%Y; }  # the short date under en_US settings
keys_text() { local n=$((1000 + 37 * $1)); echo "$((n / 1000)),$(printf %03d $((n % 1000)))"; }  # 1,000 to 9,999
# A control's rectangle on the screen: L T R B.
control_on_screen() {  # TITLE ID
  local origin rect
  origin=$(drv window-info "$1" | sed -E 's/.*origin=([-0-9]+),([-0-9]+).*/\1 \2/')
  rect=$(drv controls "$1" | awk -F'\t' -v id="$2" '$2 == id { print $5; exit }' | tr ',' ' ')
  read -r ox oy <<<"$origin"
  read -r l t r b <<<"$rect"
  echo "$((ox + l)) $((oy + t)) $((ox + r)) $((oy + b))"
}
# The pointer to the History window's title bar, off the chart.
pointer_off_the_chart() {
  local l t r b
  IFS=, read -r l t r b <<<"$(drv window-info "$HISTORY" | sed -E 's/.*rect=([-0-9,]+).*/\1/')"
  drv move $(((l + r) / 2)) $((t + 8)) >/dev/null
}
open_history_from_the_file_menu() {
  drv choose "$MAIN" File "History..." >/dev/null
  drv wait-window "$HISTORY" >/dev/null || { fail "no History window"; return 1; }
}
# The tray menu's fourth item is History...
open_history_from_the_tray_menu() {
  tray_menu || return 1
  drv keys 0x28 0x28 0x28 0x28 0x0D >/dev/null
  drv wait-window "$HISTORY" >/dev/null || { fail "no History window from the tray menu"; return 1; }
}

test_history_window_points_at_days_and_copies_them() {
  new_folder
  write_history_fixture
  start_shown || return
  open_history_from_the_file_menu || return
  expect_soon_match "summary" '^Last 30 days: [0-9,]+ keys pressed in total' history_detail
  expect_match "client area at 96 dpi" "$(drv window-info "$HISTORY")" ' client=720,456 '
  shot history-96dpi
  open_history_from_the_file_menu  # again: the same window, in front
  expect_stays "History windows after choosing it twice" "1" 0.5 history_windows

  # The mouse names the day it points at, with that day's figures.
  local l t r b detail day ago
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picChart")"
  drv move $(((l + r) / 2)) $(((t + b) / 2)) >/dev/null
  detail=$(qm_soon_match 5 '^[0-9]+/[0-9]+/[0-9]{4}: ' history_detail)
  day=${detail%%:*}
  ago=$(( ($(date -d "$(date +%F)" +%s) - $(date -d "$day" +%s)) / 86400 ))
  expect_match "the day under the pointer" "$detail" "^$day: $(keys_text "$ago") keys, $((10 + ago)) clicks, "
  [ "$ago" -ge 13 ] && [ "$ago" -le 16 ] || fail "the middle of the chart points at $day, $ago days ago"
  shot history-pointed

  # Away from the chart, the keys: End is today, Left the day before, Home 29 days back.
  drv click-control "$HISTORY" "$history_picChart" >/dev/null
  pointer_off_the_chart
  expect_soon_match "summary once the pointer has gone" '^Last 30 days: ' history_detail
  drv keys 0x23 >/dev/null
  expect_soon_match "End" "^$(day_text 0): " history_detail
  drv keys 0x25 >/dev/null
  expect_soon_match "Left" "^$(day_text 1): $(keys_text 1) keys, 11 clicks, 10.00 m, 801 letters, 175 letters/min, 1.0 h\$" history_detail
  drv keys 0x25 0x27 >/dev/null
  expect_soon_match "Left and Right" "^$(day_text 1): " history_detail
  drv keys 0x24 >/dev/null
  expect_soon_match "Home" "^$(day_text 29): $(keys_text 29) keys" history_detail

  # Shift+Tab to the period, Down: the last 12 months; then the figure: mouse clicks.
  drv keys 0x10+0x09 0x28 >/dev/null
  expect_soon_match "period" '^Last 12 months: [0-9,]+ keys pressed' history_detail
  drv keys 0x10+0x09 0x28 >/dev/null
  expect_soon_match "figure" '^Last 12 months: .*clicks' history_detail
  shot history-months-clicks
  drv keys 0x11+0x43 >/dev/null  # Ctrl+C
  local copied
  copied=$(qm_soon_match 5 "$(date +%Y-%m)" drv clipboard | tr -d '\r')
  expect_eq "clipboard header" "$(head -n 1 <<<"$copied")" \
    "$(printf 'Date\tKeys pressed\tMouse clicks\tMeters of mouse travel\tLetters typed\tTyping speed\tTime measured (hours)')"
  expect_eq "clipboard rows" "$(wc -l <<<"$copied")" "13"
  expect_match "clipboard, this month" "$(tail -n 1 <<<"$copied")" "^$(date +%Y-%m)"$'\t'"[0-9]+"$'\t'

  # Resized, the chart grows with the window; the sampler counts on meanwhile.
  local before_keys w0 w1
  before_keys=$(label $CUR_KEYS)
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picChart")"
  w0=$((r - l))
  drv drag-frame "$HISTORY" 120 90 >/dev/null
  drv type "2468" 60 >/dev/null
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picChart")"
  w1=$((r - l))
  expect_eq "chart width after a drag of 120 px" "$((w1 - w0))" "120"
  expect_soon "keys counted while the History window is open" "$((before_keys + 4))" label $CUR_KEYS
  shot history-resized

  drv activate "$HISTORY" >/dev/null
  drv keys 0x1B >/dev/null
  drv wait-gone "$HISTORY" >/dev/null || fail "Escape did not close the History window"
  expect_eq "main windows after the History window closed" "$(main_windows)" "1"
}

# Today's hours in this month's file: 900 keys twelve hours from now, 300 six
# hours from now, so that what the test's own keys add to this hour stays apart.
hours_detail() { drv text "$HISTORY" "$history_txtHoursDetail"; }
shown_control() { drv controls "$HISTORY" | awk -F'\t' -v id="$1" '$2 == id { print $6 }'; }  # ID: 1 shown, 0 hidden
hour_name() { printf '%02d:00-%02d:00' "$1" $(($1 + 1)); }
write_hours_fixture() {
  local now=$((10#$(date +%H)))
  busy=$(((now + 12) % 24)) quiet=$(((now + 6) % 24))
  mkdir -p "$prog/history"
  { echo "date,hour,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds"
    for h in $(printf '%s\n' "$busy" "$quiet" | sort -n); do
      if [ "$h" = "$busy" ]; then echo "$history_day,$h,900,9,7000,80,30.5,2.25,3600"
      else echo "$history_day,$h,300,5,7000,80,30.5,2.25,3600"; fi
    done
  } | sed 's/$/\r/' >"$prog/history/$(date +%Y-%m)-hours.csv"
}

test_history_window_hours_tab_shows_the_month_file() {
  local busy quiet
  new_folder
  write_hours_fixture
  start_shown || return
  open_history_from_the_file_menu || return
  expect_soon_match "Days first" 'Last 30 days: ' history_detail
  drv keys 0x11+0x09 >/dev/null  # Ctrl+Tab
  expect_soon "the busiest hour" "Today: busiest hour $(hour_name "$busy") with 900 Keys pressed" hours_detail
  expect_eq "Days chart hidden" "$(shown_control "$history_picChart")" "0"
  pointer_off_the_chart
  shot history-hours-96dpi

  # The mouse names the hour it points at; the keys walk to the quiet one.
  local l t r b
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picHours")"
  drv move $(((l + r) / 2)) $(((t + b) / 2)) >/dev/null
  qm_soon_match 5 '^[0-9]{2}:00-[0-9]{2}:00 \(Today\): ' hours_detail >/dev/null || fail "no hour under the pointer: $(hours_detail)"
  shot history-hours-pointed
  drv click-control "$HISTORY" "$history_picHours" >/dev/null
  pointer_off_the_chart
  # Under a loaded Wine the leave that follows a click is now and then never
  # sent: once more over the chart and off again.
  if ! qm_soon_match 5 '^Today: busiest' hours_detail >/dev/null; then
    drv move $(((l + r) / 2)) $(((t + b) / 2)) >/dev/null
    sleep 0.3
    pointer_off_the_chart
  fi
  expect_soon_match "the busiest hour once the pointer has gone" '^Today: busiest' hours_detail
  drv keys 0x24 >/dev/null  # Home
  expect_soon_match "Home" '^00:00-01:00 ' hours_detail
  local i
  for i in $(seq "$quiet"); do drv keys 0x27 >/dev/null; done
  expect_soon "the quiet hour by the keys" "$(hour_name "$quiet") (Today): 300 Keys pressed, 300 a day on 1 active day" hours_detail

  # Period and figure: Shift+Tab to them, as on the Days tab.
  drv keys 0x10+0x09 0x28 >/dev/null
  expect_soon_match "period" "^$(hour_name "$quiet") \(Yesterday\): no figures" hours_detail
  drv keys 0x26 0x10+0x09 0x28 >/dev/null
  expect_soon "figure" "$(hour_name "$quiet") (Today): 5 Mouse clicks, 5 a day on 1 active day" hours_detail
  drv keys 0x11+0x43 >/dev/null  # Ctrl+C
  local copied
  copied=$(qm_soon_match 5 '^Hour' drv clipboard | tr -d '\r')
  expect_eq "clipboard header" "$(head -n 1 <<<"$copied")" "$(printf 'Hour\tMouse clicks\tActive days\tAverage per active day')"
  expect_eq "clipboard rows" "$(wc -l <<<"$copied")" "25"
  expect_match "clipboard, the busy hour" "$(grep "^$(hour_name "$busy")" <<<"$copied")" "^$(hour_name "$busy")"$'\t'"9"$'\t'"1"$'\t'"9.00\$"

  # A click on the first tab brings the days back.
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_tabView")"
  drv click $((l + 20)) $((t + 10)) left >/dev/null
  expect_soon "Days chart shown by its tab" "1" shown_control "$history_picChart"
  expect_eq "Hours chart hidden" "$(shown_control "$history_picHours")" "0"
  drv keys 0x1B >/dev/null
  drv wait-gone "$HISTORY" >/dev/null || fail "Escape did not close the History window"
}

# Which programs: what is typed into Notepad and into Quillmark's own History
# window lands under each, and each day's programs add up to history.csv.
test_programs_of_a_save_land_in_the_month_file_of_programs() {
  new_folder
  start_shown || return
  (cd "$prog" && exec wine notepad >>"$out/program.log" 2>&1) &
  drv --timeout 15000 wait-window "Untitled - Notepad" >/dev/null || { fail "Notepad did not start"; return; }
  drv activate "Untitled - Notepad" >/dev/null
  drv type "hello" 150 >/dev/null
  wait_label $CUR_KEYS 5
  open_history_from_the_file_menu || return
  drv activate "$HISTORY" >/dev/null
  drv keys 0x25 0x27 >/dev/null  # Left, Right: keys that pick nothing
  wait_label $CUR_KEYS 7
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  local programs="$prog/history/$(date +%Y-%m)-programs.csv"
  expect_eq "header" "$(tr -d '\r' <"$programs" | head -n 1)" \
    "date,program,name,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,active_seconds"
  expect_match "Notepad's row" "$(tr -d '\r' <"$programs" | grep "^$history_day,notepad.exe,")" \
    "^$history_day,notepad\.exe,[^,]+,5,0,[0-9]+,4,[0-9.]+,[0-9.e-]+,[0-9.]+\$"  # the first press only starts the burst
  expect_match "Quillmark's row" "$(tr -d '\r' <"$programs" | grep "^$history_day,quillmark.exe,")" \
    "^$history_day,quillmark\.exe,Quillmark[^,]*,2,0,[0-9]+,0,"
  # Keys, clicks, pixels and letters of the programs against the day's row.
  expect_eq "programs against history.csv" \
    "$(tr -d '\r' <"$programs" | awk -F, 'NR > 1 { k += $(NF-6); c += $(NF-5); p += $(NF-4); l += $(NF-3) }
        END { print k "," c "," p "," l }')" "$(history_lines | sed -n 2p | cut -d, -f2-5)"
  cp "$programs" "$out/programs-after-save.csv"
  drv close "Untitled - Notepad" >/dev/null
  drv close "$HISTORY" >/dev/null
}

# The maps of this month as tests/e2e/screen_map.py reads them.
screen_map() { python3 "$here/tests/e2e/screen_map.py" "$prog/history" "$(date +%Y-%m)"; }

test_a_square_and_five_clicks_land_on_the_map_of_the_screen() {
  new_folder
  start_shown || return
  # A square of 160 pixels inside the main window, its corner on a plain part of the window.
  local rect x y
  rect=$(drv window-info "$MAIN" | sed -E 's/.* rect=([-0-9,]+) .*/\1/')
  x=$(( $(echo "$rect" | cut -d, -f1) + 300 )) y=$(( $(echo "$rect" | cut -d, -f2) + 60 ))
  drv path $x $y $((x + 160)) $y 8 120 >/dev/null
  drv path $((x + 160)) $y $((x + 160)) $((y + 160)) 8 120 >/dev/null
  drv path $((x + 160)) $((y + 160)) $x $((y + 160)) 8 120 >/dev/null
  drv path $x $((y + 160)) $x $y 8 120 >/dev/null
  local i
  for i in 1 2 3 4 5; do drv click $x $y >/dev/null; sleep 0.2; done
  wait_label $CUR_CLICKS 5
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  local maps corner=$(( x / 8 * 8 ))\ $(( y / 8 * 8 ))
  maps=$(screen_map)
  printf '%s\n' "$maps" >"$out/screen-map-after-save.txt"
  expect_eq "left clicks on the map" "$(printf '%s\n' "$maps" | sed -n 's/^total left //p')" 5
  expect_eq "the clicks at the corner" "$(printf '%s\n' "$maps" | sed -n "s/^cell left $corner //p")" 5
  expect_eq "clicks against history.csv" \
    "$(printf '%s\n' "$maps" | awk '/^total (left|right) / { n += $3 } END { print n }')" \
    "$(history_lines | sed -n 2p | cut -d, -f3)"
  # The path went along all four sides: cells at the middle of each side were entered.
  local side
  for side in "$((x + 80)) $y" "$((x + 160)) $((y + 80))" "$((x + 80)) $((y + 160))" "$x $((y + 80))"; do
    set -- $side
    expect_match "travel at $side" "$(printf '%s\n' "$maps" | sed -n "s/^cell travel $(( $1 / 8 * 8 )) $(( $2 / 8 * 8 )) //p")" '^[1-9][0-9]*$'
  done
  # The monitors as the system has them: the first is the main one, at the origin.
  expect_match "the main monitor" "$(printf '%s\n' "$maps" | grep -m1 '^monitor ')" '^monitor 0,0,[0-9]+,[0-9]+ '

  # The Screen tab, Left clicks: pointed at, the square's corner has the five.
  open_screen_tab || return
  drv click-control "$HISTORY" "$history_cboScreenWhat" >/dev/null
  drv keys 0x28 0x28 0x0D >/dev/null  # Down, Down, Enter: Left clicks
  local w h l t r b
  read -r w h <<<"$(printf '%s\n' "$maps" | sed -nE '1s/^monitor 0,0,([0-9]+),([0-9]+) .*/\1 \2/p')"
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picScreen")"
  # The desktop scaled into the chart less its margins of 8 and the legend of 36, centred; the
  # corner cell's middle there, give or take a pixel of the frame.
  local at px py dx dy found=""
  at=$(awk -v w=$w -v h=$h -v l=$l -v t=$t -v r=$r -v b=$b -v x=$(( x / 8 * 8 + 4 )) -v y=$(( y / 8 * 8 + 4 )) 'BEGIN {
    aw = r - l - 16; ah = b - t - 16 - 36; s = aw / w < ah / h ? aw / w : ah / h
    printf "%d %d", l + 8 + (aw - w * s) / 2 + x * s, t + 8 + (ah - h * s) / 2 + y * s }')
  read -r px py <<<"$at"
  for dy in 0 -1 1 -2 2; do
    for dx in 0 -1 1 -2 2; do
      drv move $((px + dx)) $((py + dy)) >/dev/null
      [[ "$(qm_soon_match 0.4 ': 5 left clicks' screen_detail)" =~ ': 5 left clicks' ]] && { found=1; break 2; }
    done
  done
  [ -n "$found" ] || fail "no cell with the five clicks at the square's corner: $(screen_detail)"
  expect_match "the corner's line" "$(screen_detail)" "^Monitor 1 \\($w × $h\\), at $(( x / 8 * 8 )), $(( y / 8 * 8 )): 5 left clicks"
  shot history-screen-square-clicks
  # Save picture: the screen's size, not blank.
  drv click-control "$HISTORY" "$history_cmdScreenSave" >/dev/null
  drv wait-window "Save picture" >/dev/null || { fail "no Save dialog"; return; }
  drv keys 0x23 0x10+0x24 0x2E >/dev/null  # End, Shift+Home, Delete
  drv --delay 40 type "$(win_path "$prog")\\screen.png" 40 >/dev/null
  drv keys 0x0D >/dev/null
  expect_soon "the picture at the screen's size" "$w $h" saved_png
  expect_soon_match "colours in the picture" '^[0-9]+$' identify -format '%k' "$prog/screen.png"
  [ "$(identify -format '%k' "$prog/screen.png" 2>/dev/null)" -gt 2 ] || fail "the picture is blank"
  cp "$prog/screen.png" "$out/screen-of-the-square.png" 2>/dev/null
  drv close "$HISTORY" >/dev/null
}

keys_detail() { drv text "$HISTORY" "$history_txtKeysDetail"; }
# A month of realistic keys today: Space far above the rest, the generic Shift beside Left Shift.
write_keys_fixture() {
  mkdir -p "$prog/history"
  { echo "date,key_code,key_name,presses"
    for row in "1,Left button,9000" "2,Right button,800" "8,Backspace,2100" "13,Enter,1500" "16,Shift,3100" \
      "32,Space,52000" "65,A,12000" "69,E,30000" "73,I,11000" "78,N,10500" "79,O,11800" "82,R,9200" "83,S,9800" \
      "84,T,14100" "85,U,4100" "160,Left Shift,2900" "161,Right Shift,200" "162,Left Ctrl,1900" "173,Volume Mute,4"; do
      echo "$history_day,$row"
    done
  } | sed 's/$/\r/' >"$prog/history/$(date +%Y-%m)-keys.csv"
}

test_history_window_keys_tab_shows_the_keyboard() {
  new_folder
  write_keys_fixture
  start_shown || return
  drv type "aaab" 150 >/dev/null
  wait_label $CUR_KEYS 4
  open_history_from_the_file_menu || return
  drv keys 0x11+0x09 0x11+0x09 >/dev/null  # Ctrl+Tab twice
  expect_soon_match "the summary" '^All time: [0-9,]+ key presses on [0-9]+ keys; most pressed: Space with 52,000$' keys_detail
  pointer_off_the_chart
  shot history-keys-96dpi

  # The pointer over A: its place in the drawing of 92 x 32 quarter keys,
  # fitted into the chart above two lines of text.
  local l t r b x y
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picKeys")"
  read -r x y <<<"$(awk -v l="$l" -v t="$t" -v w=$((r - l)) -v h=$((b - t)) 'BEGIN {
    kh = h - 2 * 13 - 16; s = w / 92; if (kh / 32 < s) s = kh / 32
    printf "%d %d", l + (w - 92 * s) / 2 + 9 * s, t + (kh - 32 * s) / 2 + 16 * s }')"
  drv move "$x" "$y" >/dev/null
  expect_soon_match "A under the pointer" '^A: 12,003 presses, [0-9.]+% of key presses, rank 4 of [0-9]+$' keys_detail
  shot history-keys-pointed
  drv keys 0x11+0x43 >/dev/null  # Ctrl+C
  local copied
  copied=$(qm_soon_match 5 '^Key code' drv clipboard | tr -d '\r')
  expect_eq "clipboard header" "$(head -n 1 <<<"$copied")" "$(printf 'Key code\tKey\tPresses')"
  expect_match "clipboard, A" "$copied" $'\n''65'$'\t''A'$'\t''12003'$'\n'
  drv keys 0x1B >/dev/null
}

programs_detail() { drv text "$HISTORY" "$history_txtProgramsDetail"; }
# Today's programs as a busy day has them: more than fifteen, some with icons
# on this system (Notepad, Explorer) and some whose executables are elsewhere.
write_programs_fixture() {
  mkdir -p "$prog/history"
  { echo "date,program,name,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,active_seconds"
    for row in "(no program),(no program),0,2,1800,0,0,0,4" "acrord32.exe,Adobe Acrobat Reader,120,380,90000,40,12.5,3,900.5" \
      "chrome.exe,Google Chrome,8200,2100,910000,6100,1500.25,210,7200" "code.exe,Visual Studio Code,15400,900,240000,11800,2900,800,9100" \
      "excel.exe,Microsoft Excel,5200,1400,300000,2900,700,400,5400" "explorer.exe,Windows Explorer,300,1100,420000,120,30,20,1500" \
      "mspaint.exe,Paint,10,600,380000,0,0,0,600" "notepad.exe,Notepad,2600,80,20000,2300,480,50,1800" \
      "outlook.exe,Microsoft Outlook,3900,700,150000,3300,650,120,3600" "powershell.exe,Windows PowerShell,1900,40,9000,1300,250,210,1200" \
      "slack.exe,Slack,4100,500,88000,3600,700,90,2700" "spotify.exe,Spotify,15,210,60000,5,1,0,400" \
      "teams.exe,Microsoft Teams,2200,450,120000,1800,380,60,3000" "thunderbird.exe,Thunderbird,700,120,30000,600,110,20,800" \
      "vlc.exe,VLC media player,20,90,15000,0,0,2,300" "winword.exe,Microsoft Word,11200,600,130000,9800,2100,300,8400" \
      "zoom.exe,Zoom Workplace,150,220,40000,90,20,5,2400" "(unknown program),(unknown program),40,30,8000,20,4,1,120"; do
      echo "$history_day,$row"
    done | LC_ALL=C sort -t, -k2,2
  } | sed 's/$/\r/' >"$prog/history/$(date +%Y-%m)-programs.csv"
}

test_history_window_programs_tab_ranks_the_programs() {
  new_folder
  write_programs_fixture
  start_shown || return
  drv type "aaab" 150 >/dev/null  # Quillmark's own, not yet saved
  wait_label $CUR_KEYS 4
  open_history_from_the_file_menu || return
  drv keys 0x11+0x09 0x11+0x09 0x11+0x09 >/dev/null  # Ctrl+Tab three times
  expect_soon_match "the summary" \
    '^All time: 19 programs, [0-9,]+ keys; the most: Visual Studio Code \(code\.exe\) with 15,400 keys$' programs_detail
  pointer_off_the_chart
  shot history-programs-96dpi

  # The pointer over the second row, Microsoft Word.
  local l t r b
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picPrograms")"
  local rows=$(((b - t - 16) / 16))
  [ "$rows" -gt 32 ] && rows=32
  drv move $(((l + r) / 2)) $((t + 8 + rows + rows / 2)) >/dev/null
  expect_soon_match "Word under the pointer" '^Microsoft Word \(winword\.exe\): 11,200 keys, 600 clicks' programs_detail
  shot history-programs-pointed
  drv keys 0x11+0x43 >/dev/null  # Ctrl+C
  local copied
  copied=$(qm_soon_match 5 '^program' drv clipboard | tr -d '\r')
  expect_eq "clipboard header" "$(head -n 1 <<<"$copied")" \
    "$(printf 'program\tname\tkeys_pressed\tmouse_clicks\tmouse_pixels\tletters_typed\ttyping_seconds\tother_keys_seconds\tactive_seconds')"
  expect_eq "clipboard rows" "$(($(wc -l <<<"$copied") - 1))" "19"
  expect_match "clipboard, Word" "$copied" $'\n''winword.exe'$'\t''Microsoft Word'$'\t''11200'$'\t''600'$'\t'
  drv keys 0x1B >/dev/null
}

test_history_window_from_the_tray_menu_says_what_the_history_lacks() {
  new_folder
  start /hiden
  drv wait-window-any "$MAIN" >/dev/null || { fail "no main window"; return; }
  [ -n "$(tray_icon)" ] || { fail "no tray icon"; return; }
  open_history_from_the_tray_menu || return
  expect_soon_match "empty history" '^The history starts with the first save, within a minute\.' history_detail
  expect_eq "main window stays hidden" "$(visible "$MAIN")" "0"
  shot history-empty
  drv close "$HISTORY" >/dev/null
  drv wait-gone "$HISTORY" >/dev/null || fail "the close box did not close the History window"
  [ -n "$(tray_icon)" ] || fail "closing the History window ended the program"

  printf 'date;keys_pressed;mouse_clicks\r\n2026-01-05;120;7\r\n' >"$prog/history.csv"
  local before
  before=$(md5_of "$prog/history.csv")
  open_history_from_the_tray_menu || return
  expect_soon_match "damaged history" \
    '^history\.csv is damaged \(line 1: .+\)\. The next save keeps it aside as history-damaged-' history_detail
  shot history-damaged
  expect_eq "history.csv while the window shows it" "$(md5_of "$prog/history.csv")" "$before"
  expect_eq "files in the folder" "$(ls "$prog" | tr '\n' ' ')" "history.csv quillmark.exe readme.txt stat.dat stat.dat.lock "
}

test_history_window_at_144_dpi() {
  local busy quiet
  screen_dpi 144
  new_folder
  write_history_fixture
  write_hours_fixture
  write_keys_fixture
  write_programs_fixture
  start
  if drv wait-window "$MAIN" >/dev/null && open_history_from_the_file_menu; then
    pointer_off_the_chart
    expect_soon_match "summary" '^Last 30 days: ' history_detail
    # 1080 x 684 pixels, or what the 1024 x 768 screen leaves of it; the
    # chart keeps its margins of 24 pixels and the 102 above it.
    local w h
    read -r w h <<<"$(drv window-info "$HISTORY" | sed -E 's/.*client=([0-9]+),([0-9]+).*/\1 \2/')"
    [ "$w" -le 1080 ] && [ "$w" -ge 900 ] && [ "$h" -le 684 ] && [ "$h" -ge 600 ] ||
      fail "client area at 144 dpi: $w x $h"
    expect_eq "chart at 144 dpi" "$(drv controls "$HISTORY" | awk -F'\t' -v id="$history_picChart" '$2 == id { print $5 }')" \
      "24,102,$((w - 24)),$((558 + h - 684))"
    shot history-144dpi
    drv keys 0x11+0x09 >/dev/null  # Ctrl+Tab
    expect_soon_match "Hours at 144 dpi" '^Today: ' hours_detail
    shot history-hours-144dpi
    drv keys 0x11+0x09 >/dev/null
    expect_soon_match "Keys at 144 dpi" '^All time: ' keys_detail
    shot history-keys-144dpi
    drv keys 0x11+0x09 >/dev/null
    expect_soon_match "Programs at 144 dpi" '^All time: ' programs_detail
    shot history-programs-144dpi
  else
    fail "no History window at 144 dpi"
  fi
  screen_dpi 96
}

# The clock was set back: today's row has a later date after it, so a save
# changes neither the file's length nor its end. The window sees it all the same.
test_history_window_sees_a_save_before_a_later_row() {
  new_folder
  printf '%s\r\n%s,1520,10,35000,800,300.5,20.25,3600\r\n%s,123456789,12345,123456789,1234567,100000,10000,86400\r\n' "$HISTORY_HEADER" \
    "$history_day" "$(date -d '+1 day' +%Y-%m-%d)" >"$prog/history.csv"
  # The later row is beyond the last 30 days: their total is today's keys.
  total_keys() { history_detail | sed -nE 's/^Last 30 days: ([0-9,]+) keys pressed in total.*/\1/p'; }
  start_shown || return
  open_history_from_the_file_menu || return
  expect_soon "today before typing" "1,520" total_keys
  drv activate "$MAIN" >/dev/null  # typed into the History window, letters would pick a figure
  drv type "quill" 100 >/dev/null
  expect_soon "today with what the run counted" "1,525" total_keys
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_match "today's row after the save" "$(history_lines | sed -n 2p)" "^$history_day,1525,"
  # The window looks once a second: within 2.5 s it has read the saved file.
  expect_stays "today once the save is in history.csv" "1,525" 2.5 total_keys
  drv activate "$HISTORY" >/dev/null
  shot history-after-a-save-before-a-later-row
}

screen_detail() { drv text "$HISTORY" "$history_txtScreenDetail"; }
# Maps as the program's code writes them: this month's of the 1024 x 768 desktop, last month's of
# a 1920 x 1080 monitor of 527 mm and a 1280 x 1024 one of a size not known, lower right of it.
write_screen_fixture() {
  mkdir -p "$prog/history"
  local fixture="$build/tests/e2e/qm_screen_fixture.exe" folder
  folder=$(win_path "$prog")
  { wine "$fixture" "$folder" "$(date +%Y-%m)" 0,0,1024,768 &&
    wine "$fixture" "$folder" "$(date -d "$(date +%Y-%m-01) -1 month" +%Y-%m)" 0,0,1920,1080,527 1920,180,3200,1204
  } >/dev/null 2>>"$out/driver.log" || fail "the map fixture could not be written"
}
open_screen_tab() {
  open_history_from_the_file_menu || return 1
  # Ctrl+Shift+Tab from the first tab: round to the last, the Screen tab; again
  # should Wine under load lose the keys.
  local try
  for try in 1 2 3; do
    drv keys 0x11+0x10+0x09 >/dev/null
    [ -n "$(qm_soon_match 3 . screen_detail)" ] && return
  done
  fail "the Screen tab did not come"
  return 1
}
# The pointer off the maps; a window opened under it may never see it leave (Wine): over and off again.
screen_pointer_off() {
  local try l t r b
  for try in 1 2 3; do
    pointer_off_the_chart
    [[ "$(qm_soon_match 3 "^$1: " screen_detail)" =~ ^"$1: " ]] && return
    read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picScreen")"
    drv move $(((l + r) / 2)) $(((t + b) / 2)) >/dev/null && sleep 0.3
  done
  pointer_off_the_chart
}
# The saved PNG's width and height from its header (IHDR, bytes 16 to 23).
saved_png() { od -An -tu1 -j16 -N8 "$prog/screen.png" 2>/dev/null | awk '{ printf "%d %d", $3 * 256 + $4, $7 * 256 + $8 }'; }

test_history_window_screen_tab_shows_the_maps() {
  new_folder
  write_screen_fixture
  start_shown || return
  open_screen_tab || return
  screen_pointer_off "This month"
  expect_soon_match "the summary" \
    '^This month: [0-9,]+ passes; Monitor 1: [0-9.,]+ m \(size not known: 3500 pixels a meter\)$' screen_detail
  shot history-screen-96dpi

  # The middle of the maps (the chart less its margins of 8 and the legend
  # under them) is the block of cells passed 37 times each.
  local l t r b
  read -r l t r b <<<"$(control_on_screen "$HISTORY" "$history_picScreen")"
  drv move $(((l + r) / 2)) $(((t + 8 + b - 8 - 36) / 2)) >/dev/null
  # 37 of the fixture, and the passes of the pointer's own way there this run.
  expect_soon_match "the cell under the pointer" '^Monitor 1 \(1024 × 768\), at [0-9]+, [0-9]+: (3[7-9]|[4-9][0-9]) passes; the cursor went [0-9.,]+ m on it \(size not known: 3500 pixels a meter\)$' screen_detail
  # Save picture: the Save dialog, a path typed over the suggested name.
  drv click-control "$HISTORY" "$history_cmdScreenSave" >/dev/null
  drv wait-window "Save picture" >/dev/null || { fail "no Save dialog"; return; }
  shot history-screen-save-dialog
  drv keys 0x23 0x10+0x24 0x2E >/dev/null  # End, Shift+Home, Delete
  drv --delay 40 type "$(win_path "$prog")\\screen.png" 40 >/dev/null
  drv keys 0x0D >/dev/null
  expect_soon "the picture at the desktop's full size" "1024 768" saved_png
  # Not blank: the trails' many colours, the quiet ground, the busy middle.
  expect_soon_match "colours in the picture" '^[0-9]{2,}$' identify -format '%k' "$prog/screen.png"
  pixel() { convert "$prog/screen.png" -format "%[pixel:p{$1,$2}]" info:; }
  expect_eq "an empty cell" "$(pixel 1000 400)" "srgb(38,40,46)"
  [ "$(pixel 512 384)" != "srgb(38,40,46)" ] || fail "the middle of the picture is empty"
  # Last month: two monitors as they were arranged then, each one's meters as measured.
  drv click-control "$HISTORY" "$history_cboScreenPeriod" >/dev/null
  drv keys 0x28 0x0D >/dev/null  # Down, Enter: Last month
  pointer_off_the_chart
  expect_soon_match "two monitors" '^Last month: [0-9,]+ passes; Monitor 1: [0-9.,]+ m; Monitor 2: [0-9.,]+ m \(size not known: 3500 pixels a meter\)$' screen_detail
  shot history-screen-two-monitors
  drv click-control "$HISTORY" "$history_cboScreenWhat" >/dev/null
  drv keys 0x28 0x0D >/dev/null  # Down, Enter: Clicks (all buttons)
  pointer_off_the_chart
  expect_soon_match "clicks" '^Last month: [0-9,]+ clicks; Monitor 1: ' screen_detail
  shot history-screen-clicks

  screen_dpi 144  # every program ends first
  start_shown && open_screen_tab && screen_pointer_off "This month" &&
    expect_soon_match "summary at 144 dpi" '^This month: ' screen_detail && shot history-screen-144dpi
  screen_dpi 96
}
