# shellcheck shell=bash
# What the end-to-end tests share: driving the program and reading what a
# person would see. Sourced by scripts/e2e.sh once the Wine prefix is ready;
# $out, $build, $exe, $driver and $check are set there.

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
start_shown() {  # start, and wait for the main window; fails without one
  start "$@"
  drv wait-window "$MAIN" >/dev/null || { fail "the main window did not appear"; return 1; }
}
stop_all() {  # ends every Windows program, the desktop and its tray included
  qm_wine_hold
  qm_wait_ended
}
# screen_dpi N: the display's dpi for the programs started from now on (every
# program of the prefix ends first, as Windows asks one to sign out).
screen_dpi() {
  stop_all
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  stop_all
}
ended() { ! kill -0 "$1" 2>/dev/null; }  # PID
box_text() {  # the message of the box that `drv msgbox|answer` printed
  awk -F'\t' '$1 == "text" { print $2 }' | head -n 1
}
main_windows() { drv list-windows | awk -F'\t' -v t="$MAIN" '$5 == t' | wc -l; }
label() {  # label ID: the text of a control of the main window
  drv text "$MAIN" "$1"
}
labels() {  # labels ID...: their texts, joined by "/"
  local id texts=()
  for id in "$@"; do texts+=("$(label "$id")"); done
  (IFS=/; echo "${texts[*]}")
}
# wait_label ID TEXT: until the control of the main window shows TEXT.
wait_label() { drv wait-text "$MAIN" "$1" "$2" >/dev/null || fail "$(label "$1") instead of $2 in control $1"; }
# settled ID: until the control shows the same text twice in a row, a
# moment apart (the sampler has seen the last move); prints that text.
settled() {
  local last now
  last=$(label "$1")
  for _ in $(seq 30); do
    sleep 0.15
    now=$(label "$1")
    [ "$now" == "$last" ] && break
    last=$now
  done
  printf '%s' "$now"
}
# glide X Y DX DY STEPS: the pointer from X,Y in STEPS straight steps of
# DX,DY at a hand's pace, each step seen by a tick of its own (xdotool moves
# it without the brief jumps back that SendInput shows under Wine).
glide() {
  local i
  for i in $(seq "$5"); do xdotool mousemove $(($1 + $3 * i)) $(($2 + $4 * i)); sleep 0.08; done
}
line() { sed -n "${2}p" "$1" | tr -d '\r'; }
lines_of() { tr -d '\r' <"$1" 2>/dev/null | wc -l; }
stat_line() { line "$prog/stat.dat" "$1"; }
last_log_line() { tr -d '\r' <"$prog/DbgFile.dat" 2>/dev/null | tail -n 1; }
md5_of() { md5sum <"$1"; }
# The program's icons in the notification area: their centres to click. A
# removed icon can leave its tooltip behind with an empty rectangle.
shown_tray_icons() {
  drv --timeout 3000 tray-icons 2>/dev/null | awk -F'\t' '$1 == "icon" && $2 == "Quillmark" {
    split($3, r, ","); if (r[3] > r[1] && r[4] > r[2]) print $4 }'
}
tray_icon() { shown_tray_icons | head -n 1; }
# The icon's centre once it is shown: a busy machine can take a moment after
# the window appears before the notification area lists it.
wait_tray_icon() {
  local at="" i
  for i in $(seq 10); do
    at=$(tray_icon)
    [ -n "$at" ] && break
    sleep 0.5
  done
  printf '%s' "$at"
}
tray_icons() { shown_tray_icons | wc -l; }
outer_size() { drv window-info "$1" | cut -d' ' -f3; }
visible() { drv window-info "$1" | sed -E 's/^visible=([01]).*/\1/'; }
# A pop-up menu (the tray icon's) is open.
popup_menu_open() { drv list-windows | awk -F'\t' '$2 == "#32768" && $4 == 1 { found = 1 } END { exit !found }'; }
tray_double_click() {
  local at
  at=$(wait_tray_icon)
  [ -n "$at" ] || { fail "no tray icon to double-click"; return 1; }
  drv click "${at%,*}" "${at#*,}" left double >/dev/null
}
# Right-clicks the tray icon and waits for its menu.
tray_menu() {
  local at
  at=$(wait_tray_icon)
  [ -n "$at" ] || { fail "no tray icon"; return 1; }
  drv click "${at%,*}" "${at#*,}" right >/dev/null
  qm_until 5 popup_menu_open || { fail "no menu at the tray icon"; return 1; }
}
RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
USER_RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
run_value() {  # [KEY]: the data of the Run value, the machine's unless KEY says otherwise
  wine reg query "${1:-$RUN_KEY}" /v "$QM_TITLE" 2>/dev/null | tr -d '\r' | awk -F'    ' '/REG_SZ/ { print $4 }'
}
APPROVED_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
approval() { wine reg query "$APPROVED_KEY" /v "$QM_TITLE" 2>/dev/null | tr -d '\r' | awk -F'    ' '/BINARY/ { print $4 }'; }
clear_run_values() {
  wine reg delete "$RUN_KEY" /v "$QM_TITLE" /f >/dev/null 2>&1
  wine reg delete "$USER_RUN_KEY" /v "$QM_TITLE" /f >/dev/null 2>&1
}
win_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
checked() {  # checked MENU ITEM: 1 when the item has its check mark
  drv menu-item "$MAIN" "$1" "$2" | sed -E 's/.*checked=([01]).*/\1/'
}
# layout_check WINDOW FILE: the layout checker's verdict on a window, once it
# finds no difference or after a few seconds (Wine places a new window in
# steps); its whole report goes to FILE.
layout_verdict() { wine "$check" "$1" 2>&1 | tr -d '\r' | tee "$2" | tail -n 1; }
layout_check() { qm_soon_match 5 ' 0 differences$' layout_verdict "$1" "$2"; }
# opened: how many addresses the "browser" and "mail program" were given.
opened() { lines_of "$out/opened.txt"; }

# Control ids, named as in the layout tables (qm_layout_check.exe prints them).
eval "$(wine "$check" ids 2>/dev/null | tr -d '\r' | grep -E '^[a-z]+_[A-Za-z0-9_]+=[0-9]+$')"
[ -n "${main_lblKeybrdPushed_1:-}" ] || { echo "e2e: the control ids could not be read from $check"; echo "e2e: 0 passed, 1 failed"; exit 1; }
CUR_TIME=$main_lblCurTime CUR_PIXELS=$main_lblMousePixels_0 CUR_CLICKS=$main_lblMouseClicks_0
CUR_KEYS=$main_lblKeybrdPushed_0 CUR_METERS=$main_lblMouseMeters_0
ALL_TIME=$main_lblAllTime ALL_PIXELS=$main_lblMousePixels_1 ALL_CLICKS=$main_lblMouseClicks_1
ALL_KEYS=$main_lblKeybrdPushed_1 ALL_METERS=$main_lblMouseMeters_1 ALL_BOX=$main_frmAllStat
ABOUT_VERSION=$about_lblVersion ABOUT_SITE=$about_txtSite ABOUT_MAIL=$about_txtMail ABOUT_ICQ=$about_txtICQ
ABOUT_BACK=$about_cmdBack MAIN_SITE=$main_txtSite
