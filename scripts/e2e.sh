#!/usr/bin/env bash
# End-to-end tests: the real quillmark.exe under Wine, in a virtual desktop
# inside Xvfb, driven as a person would by tests/e2e/driver.cpp. Checks the
# windows, stat.dat, DbgFile.dat and the registry; leaves screenshots and
# logs in build/e2e. Needs the windows preset built.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
self=$(realpath "${BASH_SOURCE[0]}")  # the tests are the test_ functions of this file
source "$here/scripts/wine-env.sh"
source "$here/tests/lib/harness.sh"
build=$QM_WIN_BUILD
out=$here/build/e2e
exe=$build/program/quillmark.exe
driver=$build/tests/e2e/qm_e2e_driver.exe
check=$build/tests/e2e/qm_layout_check.exe
for f in "$exe" "$driver" "$check"; do
  [ -f "$f" ] || { echo "e2e: $f is missing: build the $QM_WIN_PRESET preset first"; echo "e2e: 0 passed, 1 failed"; exit 1; }
done

rm -rf "$out"
mkdir -p "$out/shots"
export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d"
unset LC_ALL LC_CTYPE LC_NUMERIC LC_TIME LC_MESSAGES LANGUAGE
export LANG=en_US.UTF-8
source "$build/identity.sh"
MAIN=$QM_TITLE

# --- the screen -------------------------------------------------------------
qm_start_screen "$out/xvfb.log" || { echo "e2e: 0 passed, 1 failed"; exit 1; }
cleanup() {
  qm_wine_release
  qm_stop_screen
}
trap cleanup EXIT

wineboot -i >"$out/wineboot.log" 2>&1
# Every program starts in one virtual desktop, with a taskbar and a notification area.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# The "browser" and "mail program" only write down the address they were given.
cat >"$out/opener.sh" <<EOS
#!/bin/sh
echo "\$@" >>"$out/opened.txt"
EOS
chmod +x "$out/opener.sh"
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$out/opener.sh" /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineBrowser' /v Mailers /d "$out/opener.sh" /f >/dev/null 2>&1
# Windows has MS Sans Serif and Arial with Cyrillic letters; Wine's own MS Sans
# Serif lacks them and falls back to a much wider face. Liberation Sans has
# Arial's metrics, so text takes about the room it takes on Windows.
for face in "MS Sans Serif" "Arial"; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Liberation Sans" /f >/dev/null 2>&1
done
# Text files open in Notepad, as on Windows (a new Wine prefix has no association).
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
# From here on one wineserver holds the prefix until the end (the desktop
# settings count from its start): a program started just as a server ends
# by itself would fail inside Wine.
qm_wine_hold || { echo "e2e: 0 passed, 1 failed"; exit 1; }

# --- helpers ----------------------------------------------------------------
drv() { wine "$driver" "$@" 2>>"$out/driver.log" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
shot() { import -window root "$out/shots/$1.png" 2>/dev/null; }
today=$(date +%m-%d-%Y)
folder_n=0
new_folder() {  # a fresh program folder: quillmark.exe and readme.txt
  folder_n=$((folder_n + 1))
  prog="$out/prog$folder_n"
  mkdir -p "$prog"
  cp "$exe" "$build/program/readme.txt" "$prog/"
}
start() {  # start quillmark in $prog with arguments, in the background
  (cd "$prog" && exec wine quillmark.exe "$@" >>"$out/program.log" 2>&1) &
  qm_started $!
}
stop_all() {  # ends every Windows program, the desktop and its tray included
  qm_wine_hold
  qm_wait_ended
}
box_text() {  # the message of the box that `drv msgbox|answer` printed
  awk -F'\t' '$1 == "text" { print $2 }' | head -n 1
}
main_windows() { drv list-windows | awk -F'\t' -v t="$MAIN" '$5 == t' | wc -l; }
label() {  # label ID: the text of a control of the main window
  drv text "$MAIN" "$1"
}
line() { sed -n "${2}p" "$1" | tr -d '\r'; }
stat_line() { line "$prog/stat.dat" "$1"; }
tray_icon() { drv --timeout 3000 tray-icons 2>/dev/null | awk -F'\t' '$1 == "icon" && $2 == "Quillmark" { print $4 }' | head -n 1; }

# Control ids, named as in the layout tables (qm_layout_check.exe prints them).
eval "$(wine "$check" ids 2>/dev/null | tr -d '\r' | grep -E '^[a-z]+_[A-Za-z0-9_]+=[0-9]+$')"
[ -n "${main_lblKeybrdPushed_1:-}" ] || { echo "e2e: the control ids could not be read from $check"; echo "e2e: 0 passed, 1 failed"; exit 1; }
CUR_TIME=$main_lblCurTime CUR_PIXELS=$main_lblMousePixels_0 CUR_CLICKS=$main_lblMouseClicks_0
CUR_KEYS=$main_lblKeybrdPushed_0 CUR_METERS=$main_lblMouseMeters_0
ALL_TIME=$main_lblAllTime ALL_PIXELS=$main_lblMousePixels_1 ALL_CLICKS=$main_lblMouseClicks_1
ALL_KEYS=$main_lblKeybrdPushed_1 ALL_METERS=$main_lblMouseMeters_1 ALL_BOX=$main_frmAllStat

# --- the tests --------------------------------------------------------------
test_first_start_creates_the_file() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "the main window did not appear"; return; }
  expect_eq "stat.dat" "$(tr -d '\r' <"$prog/stat.dat" | paste -sd '|')" "0|0|0|0|0|0|0||False"
  expect_eq "all-time caption" "$(label $ALL_BOX)" "Статистика за все время (с $today)"
  expect_eq "window" "$(drv window-info "$MAIN" | cut -d' ' -f1-3)" "visible=1 iconic=0 outer=562,366"
  [ -n "$(tray_icon)" ] || fail "no tray icon with the tip Quillmark"
  [ ! -e "$prog/DbgFile.dat" ] || fail "DbgFile.dat written at a normal start"
}

test_layout_matches_the_tables() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "the main window did not appear"; return; }
  sleep 1
  local result
  result=$(wine "$check" main 2>&1 | tr -d '\r')
  echo "$result" >"$out/layout-96.txt"
  expect_match "layout at 96 dpi" "$(tail -n 1 <<<"$result")" "checked at 96 dpi, 0 differences"
  shot main-96dpi
}

test_counts_keys_and_mouse_then_saves_them() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "the main window did not appear"; return; }
  drv move 600 600 >/dev/null
  sleep 0.5
  local base px
  base=$(label $CUR_PIXELS)
  drv type "quill mark" 150 >/dev/null            # 10 key presses
  # 500 pixels in ten steps of exactly 50, then 461 more (xdotool moves the
  # pointer without the brief jumps back that SendInput shows under Wine).
  for i in $(seq 10); do xdotool mousemove $((600 + 30 * i)) $((600 - 40 * i)); sleep 0.08; done
  xdotool mousemove 800 650
  sleep 0.2
  drv click 800 650 left >/dev/null               # a click on the empty desktop, where the pointer is
  sleep 0.5
  expect_eq "keys, current run" "$(label $CUR_KEYS)" "10"
  expect_eq "keys, all time" "$(label $ALL_KEYS)" "10"
  expect_eq "clicks" "$(label $CUR_CLICKS)/$(label $ALL_CLICKS)" "1/1"
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
  for _ in $(seq 70); do [ "$(stat_line 1)" = "10" ] && break; sleep 1; done
  expect_eq "stat.dat line 1 (keys)" "$(stat_line 1)" "10"
  expect_eq "stat.dat line 3 (pixels)" "$(stat_line 3)" "$px"
  expect_eq "stat.dat line 6 (clicks)" "$(stat_line 6)" "1"
  expect_eq "stat.dat line 8 (date)" "$(stat_line 8)" "$today"
}

test_second_copy_is_refused() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "the main window did not appear"; return; }
  local before
  before=$(md5sum <"$prog/stat.dat")
  for round in 1 2; do
    start
    local text
    text=$(drv answer Quillmark OK | box_text)
    expect_eq "message of refusal $round" "$text" "Копия программы уже запущена"
    sleep 0.5
    expect_eq "DbgFile.dat lines after refusal $round" "$(tr -d '\r' <"$prog/DbgFile.dat" | wc -l)" "$round"
  done
  expect_match "log line 1" "$(line "$prog/DbgFile.dat" 1)" '^.+\.\([0-9,]+\.[0-9]{5}\): PrevInstance detected$'
  local t1 t2
  t1=$(line "$prog/DbgFile.dat" 1 | sed -E 's/.*\(([0-9,.]+)\).*/\1/' | tr -d ,)
  t2=$(line "$prog/DbgFile.dat" 2 | sed -E 's/.*\(([0-9,.]+)\).*/\1/' | tr -d ,)
  awk -v a="$t1" -v b="$t2" 'BEGIN { exit !(b > a) }' || fail "log lines out of order: $t1 then $t2"
  expect_eq "stat.dat untouched" "$(md5sum <"$prog/stat.dat")" "$before"
  expect_eq "windows titled $MAIN" "$(main_windows)" "1"
  expect_eq "tray icons" "$(drv tray-icons | awk -F'\t' '$1 == "icon" && $2 == "Quillmark"' | wc -l)" "1"
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
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && fail "the program still runs"
  expect_eq "stat.dat unchanged" "$(md5sum <"$prog/stat.dat")" "$before"
}


ABOUT_VERSION=$about_lblVersion ABOUT_SITE=$about_txtSite ABOUT_MAIL=$about_txtMail ABOUT_ICQ=$about_txtICQ
ABOUT_BACK=$about_cmdBack MAIN_SITE=$main_txtSite
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
USER_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

visible() { drv window-info "$1" | sed -E 's/^visible=([01]).*/\1/'; }
tray_double_click() {
  local at
  at=$(tray_icon)
  [ -n "$at" ] || { fail "no tray icon to double-click"; return 1; }
  drv click "${at%,*}" "${at#*,}" left double >/dev/null
}
run_value() {  # [KEY]: the data of the Run value, the machine's unless KEY says otherwise
  wine reg query "${1:-$RUN_KEY}" /v "$QM_TITLE" 2>/dev/null | tr -d '\r' | awk -F'    ' '/REG_SZ/ { print $4 }'
}
clear_run_values() {
  wine reg delete "$RUN_KEY" /v "$QM_TITLE" /f >/dev/null 2>&1
  wine reg delete "$USER_RUN_KEY" /v "$QM_TITLE" /f >/dev/null 2>&1
}
win_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
checked() {  # checked MENU ITEM: 1 when the item has its check mark
  drv menu-item "$MAIN" "$1" "$2" | sed -E 's/.*checked=([01]).*/\1/'
}

test_hidden_start_shows_only_the_tray_icon() {
  new_folder
  start /hiden
  drv wait-window-any "$MAIN" >/dev/null || { fail "no main window"; return; }
  sleep 1
  expect_eq "window visible after /hiden" "$(visible "$MAIN")" "0"
  [ -n "$(tray_icon)" ] || fail "no tray icon"
  shot hidden-start
  tray_double_click
  drv wait-window "$MAIN" >/dev/null || fail "a double-click on the icon did not show the window"
  expect_eq "restored window" "$(drv window-info "$MAIN" | cut -d' ' -f1-3)" "visible=1 iconic=0 outer=562,366"
  stop_all

  new_folder
  start /HIDEN
  drv wait-window "$MAIN" >/dev/null || fail "/HIDEN in capitals hid the window"
  expect_eq "window with /HIDEN" "$(visible "$MAIN")" "1"
}

test_close_hides_and_counting_goes_on() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  local before
  before=$(md5sum <"$prog/stat.dat")
  drv close "$MAIN" >/dev/null
  sleep 0.5
  expect_eq "visible after the close box" "$(visible "$MAIN")" "0"
  expect_eq "stat.dat after the close box" "$(md5sum <"$prog/stat.dat")" "$before"
  [ -n "$(tray_icon)" ] || fail "the tray icon went with the window"
  drv type "hidden" 120 >/dev/null
  sleep 0.3
  tray_double_click
  drv wait-window "$MAIN" >/dev/null || { fail "the window did not come back"; return; }
  expect_eq "keys typed while hidden" "$(label $CUR_KEYS)" "6"
}

test_exit_from_the_file_menu_saves_everything() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv type "abcde" 120 >/dev/null
  drv click 700 600 right >/dev/null
  sleep 0.3
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  expect_eq "stat.dat keys" "$(stat_line 1)" "5"
  expect_eq "stat.dat clicks" "$(stat_line 6)" "1"
  sleep 1
  expect_eq "tray icon after Exit" "$(tray_icon)" ""
}

test_exit_from_the_tray_menu_while_hidden() {
  new_folder
  start /hiden
  drv wait-window-any "$MAIN" >/dev/null || { fail "no main window"; return; }
  sleep 1
  drv type "tray" 120 >/dev/null
  local at
  at=$(tray_icon)
  [ -n "$at" ] || { fail "no tray icon"; return; }
  drv click "${at%,*}" "${at#*,}" right >/dev/null
  sleep 0.7
  shot tray-menu
  drv keys 0x26 0x0D >/dev/null     # Up wraps to the last item, Exit; Enter chooses it
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit from the tray menu did not end the program"; return; }
  # Up and Enter are key presses too, counted before the final save.
  expect_match "stat.dat keys" "$(stat_line 1)" '^(4|5|6)$'
  sleep 1
  expect_eq "tray icon after Exit" "$(tray_icon)" ""
}

test_reset_questions() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv type "abc" 120 >/dev/null
  sleep 0.3
  local before
  before=$(md5sum <"$prog/stat.dat")
  drv choose "$MAIN" File "Reset current statistics" >/dev/null
  expect_eq "current question" "$(drv answer Quillmark Cancel | box_text)" "Do you really want reset current statistics?"
  drv choose "$MAIN" File "Reset common statistics" >/dev/null
  expect_eq "common question" "$(drv answer Quillmark Cancel | box_text)" "Do you really want reset common statistics?"
  sleep 0.3
  expect_eq "keys after Cancel" "$(label $CUR_KEYS)/$(label $ALL_KEYS)" "3/3"
  expect_eq "stat.dat after Cancel" "$(md5sum <"$prog/stat.dat")" "$before"

  drv choose "$MAIN" File "Reset current statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  sleep 0.3
  expect_eq "keys after resetting the current run" "$(label $CUR_KEYS)/$(label $ALL_KEYS)" "0/3"
  expect_match "run clock restarted" "$(label $CUR_TIME)" '^00:00:0[0-2]$'
  expect_eq "stat.dat after resetting the current run" "$(stat_line 1)" "3"

  drv type "xy" 120 >/dev/null     # unsaved: they survive the reset of the common figures
  sleep 0.3
  drv choose "$MAIN" File "Reset common statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  sleep 0.3
  expect_eq "all-time keys after resetting them" "$(label $ALL_KEYS)" "2"
  expect_eq "caption after resetting" "$(label $ALL_BOX)" "Статистика за все время (с $today)"
  expect_eq "stat.dat after resetting the common figures" "$(stat_line 1)/$(stat_line 8)" "2/$today"
}

test_save_writes_before_it_confirms() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv type "save" 120 >/dev/null
  sleep 0.3
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "confirmation" "$(drv msgbox Quillmark | box_text)" "Statistics saved sucessfully"
  expect_eq "stat.dat while the confirmation is open" "$(stat_line 1)" "4"
  drv answer Quillmark OK >/dev/null
}

test_run_at_start_twice() {
  clear_run_values
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  expect_eq "check mark at start" "$(checked File "Run at start")" "0"
  drv choose "$MAIN" File "Run at start" >/dev/null
  sleep 0.5
  expect_eq "Run value" "$(run_value)" "$(win_path "$prog")\\quillmark.exe /hiden"
  expect_eq "check mark after the first choice" "$(checked File "Run at start")" "1"
  drv choose "$MAIN" File "Run at start" >/dev/null
  sleep 0.5
  expect_eq "Run value after the second choice" "$(run_value)" ""
  expect_eq "check mark after the second choice" "$(checked File "Run at start")" "0"
  stop_all

  # An unreadable flag on line 9 registers the program at start-up.
  new_folder
  printf '0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nyes\r\n' >"$prog/stat.dat"
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  expect_eq "Run value after line 9 'yes'" "$(run_value)" "$(win_path "$prog")\\quillmark.exe /hiden"
  expect_eq "check mark after line 9 'yes'" "$(checked File "Run at start")" "1"
  drv choose "$MAIN" File "Run at start" >/dev/null
  sleep 0.5
}

test_dragging_the_frame_keeps_the_size() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv drag-frame "$MAIN" 120 90 >/dev/null
  sleep 0.5
  expect_eq "outer size after a drag" "$(drv window-info "$MAIN" | cut -d' ' -f3)" "outer=562,366"
}

test_about_window() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window"; return; }
  sleep 0.5
  expect_eq "version" "$(drv text About $ABOUT_VERSION)" "$QM_VERSION_SHORT"
  local result
  result=$(wine "$check" about 2>&1 | tr -d '\r')
  echo "$result" >"$out/layout-about.txt"
  expect_match "About layout" "$(tail -n 1 <<<"$result")" "0 differences"
  shot about
  drv activate About >/dev/null
  drv keys 0x1B >/dev/null
  sleep 0.5
  expect_eq "About after Escape" "$(visible About)" "1"
  rm -f "$out/opened.txt"
  drv click-control About $ABOUT_SITE >/dev/null
  drv click-control About $ABOUT_MAIL >/dev/null
  for _ in $(seq 50); do [ "$(wc -l <"$out/opened.txt" 2>/dev/null)" = 2 ] && break; sleep 0.2; done
  expect_match "web link target" "$(head -n 1 "$out/opened.txt" 2>/dev/null)" 'velturnquillmark1\.3$'
  expect_match "mail link target" "$(sed -n 2p "$out/opened.txt" 2>/dev/null)" '^mailto:'
  drv click-control About $ABOUT_BACK >/dev/null
  drv wait-gone About >/dev/null || fail "Back did not close the About window"
  # Each showing is a new window with its version filled in.
  drv choose "$MAIN" "?" About >/dev/null
  expect_eq "version, second showing" "$(drv wait-text About $ABOUT_VERSION "$QM_VERSION_SHORT")" "$QM_VERSION_SHORT"
  drv close About >/dev/null
  drv wait-gone About >/dev/null || fail "the close box did not close the About window"
  expect_eq "main window after About" "$(visible "$MAIN")" "1"
}

test_hidden_run_stays_shown_through_message_boxes() {
  new_folder
  start /hiden
  drv wait-window-any "$MAIN" >/dev/null || { fail "no main window"; return; }
  sleep 1
  tray_double_click
  drv wait-window "$MAIN" >/dev/null || { fail "a double-click on the icon did not show the window"; return; }
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null || fail "no confirmation of the save"
  sleep 0.5
  expect_eq "visible after the save confirmation" "$(visible "$MAIN")" "1"
  drv choose "$MAIN" File "Reset current statistics" >/dev/null
  drv answer Quillmark Cancel >/dev/null || fail "no reset question"
  sleep 0.5
  expect_eq "visible after a reset question" "$(visible "$MAIN")" "1"
  # A save that fails: its temporary file cannot be written over a folder.
  mkdir "$prog/stat.dat.tmp"
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_match "error box" "$(drv answer Quillmark OK | box_text)" 'could not save'
  rmdir "$prog/stat.dat.tmp"
  sleep 0.5
  expect_eq "visible after an error box" "$(visible "$MAIN")" "1"
  local at
  at=$(tray_icon)
  drv click "${at%,*}" "${at#*,}" right >/dev/null
  sleep 0.7
  drv keys 0x1B >/dev/null          # the tray menu closes without a choice
  sleep 0.5
  expect_eq "visible after the tray menu" "$(visible "$MAIN")" "1"
  shot hidden-run-after-boxes
  # Activation coming back from the About window hides a hidden run again.
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window"; return; }
  drv click-control About $ABOUT_BACK >/dev/null
  drv wait-gone About >/dev/null || fail "Back did not close the About window"
  sleep 0.5
  expect_eq "visible after About and Back" "$(visible "$MAIN")" "0"
  [ -n "$(tray_icon)" ] || fail "no tray icon after About"
}

test_double_click_on_a_link_opens_it_once() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  rm -f "$out/opened.txt"
  drv click-control "$MAIN" $MAIN_SITE left double >/dev/null
  for _ in $(seq 50); do [ -s "$out/opened.txt" ] && break; sleep 0.2; done
  sleep 2                           # time for a second opening to arrive
  expect_eq "openings after a double-click on the web link" "$(wc -l <"$out/opened.txt" 2>/dev/null)" "1"
  expect_match "web link target" "$(head -n 1 "$out/opened.txt" 2>/dev/null)" 'velturnquillmark1\.3$'
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window"; return; }
  sleep 0.5
  drv click-control About $ABOUT_ICQ left double >/dev/null
  for _ in $(seq 50); do [ "$(wc -l <"$out/opened.txt" 2>/dev/null)" -ge 2 ] && break; sleep 0.2; done
  sleep 2
  expect_eq "openings after a double-click on the ICQ link" "$(wc -l <"$out/opened.txt" 2>/dev/null)" "2"
  expect_match "ICQ link target" "$(sed -n 2p "$out/opened.txt" 2>/dev/null)" 'uin=[0-9]+&action=message$'
}

test_about_keyboard() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window"; return; }
  drv activate About >/dev/null
  sleep 0.3
  shot about-back-focused
  drv keys 0x0D >/dev/null          # Enter
  drv --timeout 3000 wait-gone About >/dev/null || fail "Enter on Back did not close the About window"

  # Another program in front, then the About window again: Back has the focus.
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window the second time"; return; }
  (cd "$prog" && exec wine notepad >>"$out/program.log" 2>&1) &
  drv --timeout 15000 wait-window "Untitled - Notepad" >/dev/null || { fail "Notepad did not start"; return; }
  drv activate "Untitled - Notepad" >/dev/null
  sleep 0.3
  drv activate About >/dev/null
  sleep 0.3
  shot about-activated-again
  drv keys 0x20 >/dev/null          # Space
  drv --timeout 3000 wait-gone About >/dev/null || fail "Space on Back did not close the About window after it was activated again"
}

test_help_with_and_without_readme() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv choose "$MAIN" "?" Help >/dev/null
  drv --timeout 15000 wait-window "readme.txt - Notepad" >/dev/null || { fail "Help did not open readme.txt"; drv list-windows >"$out/help-windows.txt"; shot help-open; }
  drv close "readme.txt - Notepad" >/dev/null
  rm -f "$prog/readme.txt"
  drv choose "$MAIN" "?" Help >/dev/null
  sleep 2
  [ "$(drv --timeout 500 msgbox Quillmark 2>/dev/null | box_text)" = "" ] || fail "a message of the program's own"
  expect_eq "main window after Help" "$(visible "$MAIN")" "1"
  shot help-missing
  # A Notepad still open goes with stop_all, which ends the prefix's programs only.
}

test_high_dpi_layout() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
  stop_all
  new_folder
  start
  if drv wait-window "$MAIN" >/dev/null; then
    sleep 1
    local result
    result=$(wine "$check" main 2>&1 | tr -d '\r')
    echo "$result" >"$out/layout-144.txt"
    expect_match "layout at 144 dpi" "$(tail -n 1 <<<"$result")" "checked at 144 dpi, 0 differences"
    shot main-144dpi
  else
    fail "the main window did not appear at 144 dpi"
  fi
  stop_all
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
  stop_all
}

test_german_settings_on_screen_points_in_the_file() {
  # Every Windows program of the session under German settings, as on a
  # German Windows (Wine keeps one set of regional settings per session).
  local -x LANG=de_DE.UTF-8
  new_folder
  printf '15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n' >"$prog/stat.dat"
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  sleep 0.5
  expect_eq "all-time meters" "$(label $ALL_METERS)" "1.291,96"
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  # The real numbers keep their "." in the file.
  expect_eq "stat.dat lines 1 to 5 after a save" "$(tr -d '\r' <"$prog/stat.dat" | head -n 5 | paste -sd '|')" \
    "15234|812.37|4521873|9876|1543.2"
  start  # a refused copy: the log's seconds in the regional format
  drv answer Quillmark OK >/dev/null
  sleep 0.5
  expect_match "log line" "$(line "$prog/DbgFile.dat" 1)" '\([0-9.]+,[0-9]{5}\): PrevInstance detected$'
}

test_all_time_figure_at_its_limit_keeps_saving() {
  new_folder
  printf '7\r\n0\r\n2147483000\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nFalse\r\n' >"$prog/stat.dat"
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  xdotool mousemove 100 100; sleep 0.3
  for i in $(seq 10); do xdotool mousemove $((100 + 60 * i)) $((100 + 80 * i)); sleep 0.08; done   # 1,000 px
  drv type "limit" 120 >/dev/null
  sleep 0.3
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
  start
  drv wait-window "$MAIN" >/dev/null || { fail "the program did not start again from the file"; return; }
  sleep 0.5
  expect_eq "all-time keys after the restart" "$(label $ALL_KEYS)" "14"
  expect_eq "no message at the restart" "$(drv --timeout 1500 msgbox Quillmark 2>/dev/null | box_text)" ""
}

test_second_copy_from_another_folder_is_refused() {
  new_folder
  local first=$prog
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv type "one" 120 >/dev/null
  local before
  before=$(md5sum <"$first/stat.dat")
  new_folder   # another copy of the program, in another folder, same session
  start
  expect_eq "message of refusal" "$(drv answer Quillmark OK | box_text)" "Копия программы уже запущена"
  sleep 0.5
  expect_eq "log lines of the refused copy" "$(tr -d '\r' <"$prog/DbgFile.dat" 2>/dev/null | wc -l)" "1"
  expect_match "log line" "$(line "$prog/DbgFile.dat" 1)" 'PrevInstance detected$'
  [ ! -e "$prog/stat.dat" ] || fail "the refused copy made a stat.dat"
  expect_eq "first copy's stat.dat" "$(md5sum <"$first/stat.dat")" "$before"
  expect_eq "windows titled $MAIN" "$(main_windows)" "1"
  expect_eq "tray icons" "$(drv tray-icons | awk -F'\t' '$1 == "icon" && $2 == "Quillmark"' | wc -l)" "1"
}

test_leftover_temporary_file_is_removed_at_start() {
  new_folder
  printf '15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nTrue\r\n' >"$prog/stat.dat"
  printf '99\r\n0\r\n' >"$prog/stat.dat.tmp"   # half a save, cut off by a crash
  local before
  before=$(md5sum <"$prog/stat.dat")
  start
  drv wait-window "$MAIN" >/dev/null || { fail "the main window did not appear"; return; }
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
  start
  drv wait-window "$MAIN" >/dev/null || { fail "the main window did not appear"; return; }
  expect_eq "stat.dat created" "$(tr -d '\r' <"$prog/stat.dat" | paste -sd '|')" "0|0|0|0|0|0|0||False"
  drv type "deep" 120 >/dev/null
  sleep 0.3
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "after Save statistics" "$(drv answer Quillmark OK | box_text)" "Statistics saved sucessfully"
  expect_eq "stat.dat keys" "$(stat_line 1)" "4"
  expect_eq "stat.dat date" "$(stat_line 8)" "$today"
  start  # a refused copy writes its line to the log
  drv answer Quillmark OK >/dev/null
  sleep 0.5
  expect_match "log line" "$(line "$prog/DbgFile.dat" 1)" 'PrevInstance detected$'
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || fail "Exit did not end the program"
  expect_eq "files in the folder" "$(ls "$prog" | tr '\n' ' ')" "DbgFile.dat history.csv quillmark.exe readme.txt stat.dat "
}

# --- the daily history --------------------------------------------------------
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

test_history_of_a_save_and_of_exit() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  [ ! -e "$prog/history.csv" ] || fail "history.csv made before anything was counted"
  drv type "quill" 150 >/dev/null
  drv click 700 600 left >/dev/null
  sleep 0.3
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_eq "header" "$(history_lines | head -n 1)" "$HISTORY_HEADER"
  expect_eq "keys in stat.dat" "$(stat_line 1)" "5"
  expect_row_matches_stat_dat "after Save statistics"
  drv type "mark" 150 >/dev/null
  sleep 0.3
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
  sleep 0.3
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
  sleep 0.3
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

# A spreadsheet opens history.csv without sharing: nothing may read or
# replace it until it is closed. What is counted meanwhile waits in
# history.pending, across an Exit, and reaches history.csv at the first save
# after the spreadsheet has closed it.
test_history_held_by_a_spreadsheet_loses_nothing() {
  new_folder
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv type "sheet" 120 >/dev/null
  sleep 0.3
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  [ -f "$prog/history.csv" ] || { fail "no history.csv after the first save"; return; }
  local open_flag="$out/spreadsheet-open-$folder_n" holder
  touch "$open_flag"
  wine "$driver" --timeout 600000 hold-file "$(win_path "$prog/history.csv")" "$(win_path "$open_flag")" \
    >"$out/spreadsheet-$folder_n.txt" 2>>"$out/driver.log" &
  holder=$!
  for _ in $(seq 100); do grep -q holding "$out/spreadsheet-$folder_n.txt" 2>/dev/null && break; sleep 0.1; done
  grep -q holding "$out/spreadsheet-$folder_n.txt" || { fail "the spreadsheet stand-in could not open history.csv"; rm -f "$open_flag"; return; }
  cp "$prog/history.csv" "$out/history-while-held.csv"
  drv type "spreadsheet" 120 >/dev/null
  sleep 0.3
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "confirmation while history.csv is held" "$(drv answer Quillmark OK | box_text)" "Statistics saved sucessfully"
  expect_eq "keys in stat.dat" "$(stat_line 1)" "16"
  drv type "exit" 120 >/dev/null
  sleep 0.3
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
        sleep 0.2
      done ) &
    saver=$!
    ( for _ in $(seq 40); do drv --delay 60 keys 0x51 0x4D 0x52 0x4B >/dev/null 2>&1 || break; done ) &
    typist=$!
    sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 1.5 + (r % 250) / 100 }')"
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

# A number beyond the range of a double on line 9 is no flag: the program
# starts, registered to start with Windows.
test_line9_beyond_a_double_starts_with_windows() {
  clear_run_values
  new_folder
  printf '5\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\n1e999\r\n' >"$prog/stat.dat"
  start
  drv wait-window "$MAIN" >/dev/null ||
    { fail "no main window; message: [$(drv --timeout 500 msgbox Quillmark 2>/dev/null | box_text)]"; return; }
  sleep 0.5
  shot line9-beyond-a-double
  expect_eq "check mark of Run at start" "$(checked File "Run at start")" "1"
  expect_eq "Run value" "$(run_value)" "$(win_path "$prog")\\quillmark.exe /hiden"
  expect_eq "all-time keys" "$(label $ALL_KEYS)" "5"
  drv choose "$MAIN" File "Run at start" >/dev/null  # the Run value goes again
  sleep 0.5
  expect_eq "Run value after unchecking" "$(run_value)" ""
}

# The largest double on line 2 is saved as a number that loads again.
test_largest_double_is_saved_so_that_it_loads() {
  new_folder
  printf '0\r\n1.7976931348623157e308\r\n0\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nFalse\r\n' >"$prog/stat.dat"
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "confirmation" "$(drv answer Quillmark OK | box_text)" "Statistics saved sucessfully"
  expect_eq "stat.dat line 2 after the save" "$(stat_line 2)" "1.7976931348623157e308"
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  expect_eq "stat.dat line 2 after Exit" "$(stat_line 2)" "1.7976931348623157e308"
  start
  drv wait-window "$MAIN" >/dev/null ||
    { fail "no main window after the restart; message: [$(drv --timeout 500 msgbox Quillmark 2>/dev/null | box_text)]"; return; }
  sleep 1
  expect_eq "message at the restart" "$(drv --timeout 500 msgbox Quillmark 2>/dev/null | box_text)" ""
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_eq "stat.dat line 2 after the next save" "$(stat_line 2)" "1.7976931348623157e308"
}

# One stat.dat reached as \\?\..., through another drive letter and through a
# link. While a copy runs, the lock file beside stat.dat turns away every
# spelling, and a start under each is refused. A copy elsewhere (another
# session or computer; here the driver holds the lock file for it) refuses
# starts by the lock file alone.
test_other_spellings_of_the_folder_are_refused() {
  new_folder
  local win link="$out/link$folder_n" drive="$WINEPREFIX/dosdevices/q:" s before opened
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
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
  sleep 0.5
  expect_eq "stat.dat after the refused starts" "$(md5sum <"$prog/stat.dat")" "$before"
  expect_eq "windows titled $MAIN" "$(main_windows)" "1"
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  sleep 0.3
  [ ! -e "$prog/stat.dat.lock" ] || fail "stat.dat.lock stays after Exit"

  : >"$prog/stat.dat.lock"
  : >"$prog/holding"
  before=$(md5sum <"$prog/stat.dat")
  local log_before holder
  log_before=$(tr -d '\r' <"$prog/DbgFile.dat" | wc -l)
  drv --timeout 60000 hold-file "$win\\stat.dat.lock" "$win\\holding" >"$out/holder.txt" &
  holder=$!
  for _ in $(seq 50); do grep -q holding "$out/holder.txt" 2>/dev/null && break; sleep 0.1; done
  for s in "$win" "${spellings[@]}"; do
    drv launch "$s\\quillmark.exe" >/dev/null || { fail "$s: cannot start the program"; continue; }
    expect_eq "$s: refusal by the lock file" "$(drv answer Quillmark OK | box_text)" "Копия программы уже запущена"
  done
  sleep 0.5
  expect_eq "log lines of the refusals" "$(tr -d '\r' <"$prog/DbgFile.dat" | wc -l)" "$((log_before + 4))"
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
  for _ in $(seq 20); do [ -e "$prog/stat.dat.lock" ] || break; sleep 0.1; done
  [ ! -e "$prog/stat.dat.lock" ] || fail "the killed copy's stat.dat.lock stays"
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
  sleep 1
  shot no-lock-file
  text=$(printf '%b' "$(drv answer Quillmark OK | box_text)")
  expect_match "message" "$text" "^Quillmark cannot start in its folder:"
  [[ "$text" == *$'\n'"$(win_path "$prog")"$'\n'* ]] || fail "the message does not name the folder: [$text]"
  expect_match "message gives the reason" "$text" "cannot be created: [A-Z]"
  sleep 0.5
  expect_eq "stat.dat" "$(md5sum <"$prog/stat.dat")" "$before"
  [ ! -e "$prog/DbgFile.dat" ] || fail "the refused start wrote DbgFile.dat"
  expect_eq "windows titled $MAIN" "$(main_windows)" "0"
}

# A copy in the user's profile registers for this user only, although Wine
# lets it write the machine's key as an administrator's copy could; another
# copy's value for every user stays where it is and is named.
test_run_at_start_in_a_profile_is_this_users_alone() {
  clear_run_values
  local profile
  profile=$(winepath -u "$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')" 2>/dev/null)
  [ -d "$profile" ] || { fail "no profile folder [$profile]"; return; }
  prog="$profile/AppData/Local/Programs/Quillmark E2E"
  rm -rf "$prog"
  mkdir -p "$prog"
  cp "$exe" "$prog/"
  local mine other='"C:\Program Files\Quillmark\quillmark.exe" /hiden'
  mine="\"$(win_path "$prog")\\quillmark.exe\" /hiden"
  start
  drv wait-window "$MAIN" >/dev/null || { fail "no main window"; return; }
  drv choose "$MAIN" File "Run at start" >/dev/null
  sleep 0.5
  expect_eq "the user's Run value" "$(run_value "$USER_RUN_KEY")" "$mine"
  expect_eq "the machine's Run value" "$(run_value)" ""
  drv choose "$MAIN" File "Run at start" >/dev/null
  sleep 0.5
  expect_eq "the user's Run value when off" "$(run_value "$USER_RUN_KEY")" ""

  wine reg add "$RUN_KEY" /v "$QM_TITLE" /d "$other" /f >/dev/null 2>&1
  drv choose "$MAIN" File "Run at start" >/dev/null
  sleep 0.5
  shot another-copy-starts-too
  local text
  text=$(printf '%b' "$(drv answer Quillmark OK | box_text)")
  [[ "$text" == *$'\n'"C:\\Program Files\\Quillmark"$'\n'*"Both copies would start"* ]] ||
    fail "the message does not name the other copy: [$text]"
  expect_eq "check mark" "$(checked File "Run at start")" "1"
  expect_eq "the other copy's value" "$(run_value)" "$other"
  expect_eq "the user's Run value" "$(run_value "$USER_RUN_KEY")" "$mine"
  drv choose "$MAIN" File "Run at start" >/dev/null
  sleep 0.5
  expect_eq "the other copy's value after off" "$(run_value)" "$other"
  expect_eq "the user's Run value after off" "$(run_value "$USER_RUN_KEY")" ""
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null
  clear_run_values
  rm -rf "$prog"
}

# Every test_ function above, in order; QM_E2E_TESTS may name some of them.
QM_BEFORE_TEST=stop_all QM_AFTER_TEST=stop_all
for t in ${QM_E2E_TESTS:-$(qm_tests_of "$self")}; do qm_run_test "test_${t#test_}" "$out/driver.log" "$out/program.log"; done

echo "screenshots and logs: $out"
qm_summary e2e
