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
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
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

test_history_keeps_points_under_german_settings() {
  local -x LANG=de_DE.UTF-8
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
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
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
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
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
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
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window at the restart"; return; }
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_sums_match "after the spreadsheet closed it"
  expect_row_matches_stat_dat "after the spreadsheet closed it"
  [ ! -e "$prog/history.pending" ] || fail "history.pending is left although nothing is owed"
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
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window after the kills"; return; }
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  expect_match "keys in stat.dat" "$(stat_line 1)" '^[1-9][0-9]+$'
  expect_sums_match "after six kills"
}
