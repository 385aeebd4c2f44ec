#!/usr/bin/env bash
# Drives Wine's own Notepad end to end with the test driver, to show that the
# driver works in this Wine and X setup: windows, controls, menus, typing,
# clicks, frame dragging, message boxes.
#
#   tests/e2e/driver_selftest.sh [path/to/qm_e2e_driver.exe]
#
# The caller sets WINEPREFIX (and WINEARCH, WINEDEBUG, WINEDLLOVERRIDES),
# DISPLAY, and runs the X server; Wine must be set to one virtual desktop so
# that the programs see each other (see README.md; the setting takes effect
# when the wineserver next starts). Exits non-zero on the first failed check.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
driver=${1:-${QM_E2E_DRIVER:-}}
if [[ -z "$driver" ]]; then
  for candidate in "$here/../../build/windows/tests/e2e/qm_e2e_driver.exe" /tmp/drv-build/qm_e2e_driver.exe; do
    [[ -f "$candidate" ]] && { driver=$candidate; break; }
  done
fi
[[ -f "${driver:-}" ]] || { echo "selftest: no qm_e2e_driver.exe (give its path)" >&2; exit 2; }
[[ -f "$(dirname "$driver")/qm_e2e_hook.dll" ]] || { echo "selftest: qm_e2e_hook.dll is not beside $driver" >&2; exit 2; }
: "${WINEPREFIX:?set WINEPREFIX}" "${DISPLAY:?set DISPLAY}"
# Notepad's captions below are the English ones.
export LANG=C.UTF-8 LC_ALL=C.UTF-8

title="Untitled - Notepad"
passed=0
notepad_pid=

drv() { wine "$driver" "$@"; }

fail() {
  echo "FAIL: $*" >&2
  echo "selftest: $passed passed, 1 failed"
  exit 1
}

ok() {
  passed=$((passed + 1))
  echo "ok $passed - $*"
}

# expect NAME ACTUAL WANTED
expect() {
  [[ "$2" == "$3" ]] || fail "$1: wanted '$3', got '$2'"
  ok "$1"
}

# The driver must refuse: its exit code is 1 and it says why on stderr.
expect_refusal() {
  local name=$1; shift
  local err
  if err=$(drv --timeout 500 "$@" 2>&1 >/dev/null); then fail "$name: the driver did not fail"; fi
  [[ -n "$err" ]] || fail "$name: the driver failed without a message"
  ok "$name (refused: ${err#driver: })"
}

field() {  # field KEY "k1=v1 k2=v2 ..."
  local kv
  for kv in $2; do [[ "${kv%%=*}" == "$1" ]] && { echo "${kv#*=}"; return; }; done
}

cleanup() {
  if [[ -n "$notepad_pid" ]] && kill -0 "$notepad_pid" 2>/dev/null; then
    kill "$notepad_pid" 2>/dev/null
  fi
}
trap cleanup EXIT

drv --timeout 0 wait-gone "$title" >/dev/null 2>&1 || fail "a '$title' window is already open; close it first"

# Notepad keeps its size and options from the last run: start from its
# defaults (this changes the prefix's Notepad settings).
wine reg delete 'HKCU\Software\Microsoft\Notepad' /f >/dev/null 2>&1
wine notepad >/dev/null 2>&1 &
notepad_pid=$!

# --- windows ---------------------------------------------------------------
hwnd=$(drv wait-window "$title") || fail "wait-window"
[[ "$hwnd" =~ ^0x[0-9A-F]{8}$ ]] || fail "wait-window printed '$hwnd'"
ok "wait-window $hwnd"
if command -v xdotool >/dev/null; then
  xdotool search --name ' - Wine desktop$' >/dev/null ||
    fail "Wine runs without a virtual desktop: set it in the prefix (see README.md), then 'wineserver -k'"
  ok "Wine runs in a virtual desktop"
fi
expect "find-window-class" "$(drv find-window-class Notepad | cut -f1)" "$hwnd"
expect "hwnd: names a window" "$(drv wait-window "hwnd:$hwnd")" "$hwnd"
expect "wait-window-any" "$(drv wait-window-any "$title")" "$hwnd"
expect "list-windows" "$(drv list-windows | awk -F'\t' -v t="$title" '$5 == t {print $1 "/" $2 "/" $4}')" "$hwnd/Notepad/1"
drv sleep 10 >/dev/null || fail "sleep"
ok "sleep"

info=$(drv window-info "$title") || fail "window-info"
expect "window-info visible" "$(field visible "$info")" 1
expect "window-info iconic" "$(field iconic "$info")" 0
[[ "$(field dpi "$info")" =~ ^[0-9]+$ ]] || fail "window-info dpi: $info"
ok "window-info: $info"

# --- controls --------------------------------------------------------------
controls=$(drv controls "$title") || fail "controls"
edit_line=$(awk -F'\t' '$3 == "Edit"' <<<"$controls")
status_line=$(awk -F'\t' '$3 == "msctls_statusbar32"' <<<"$controls")
[[ -n "$edit_line" && -n "$status_line" ]] || fail "controls lists no Edit and status bar: $controls"
[[ "$(awk -F'\t' '{print NF}' <<<"$edit_line")" == 7 ]] || fail "controls line has not 7 columns: $edit_line"
ok "controls"
edit_id=$(cut -f2 <<<"$edit_line")
status_text() { drv controls "$title" | awk -F'\t' '$3 == "msctls_statusbar32" {print $7}'; }

# eventually COMMAND WANTED: runs COMMAND until it prints WANTED (for 5 s at
# most; the program handles input on its own time) and prints its last output.
eventually() {
  local out i
  for ((i = 0; i < 25; i++)); do
    out=$($1)
    [[ "$out" == "$2" ]] && break
    sleep 0.2
  done
  echo "$out"
}

# --- menus -----------------------------------------------------------------
menu=$(drv menu "$title") || fail "menu"
grep -qP '^1\tE&xit\t[0-9]+\tsep=0\tchecked=0\tgrayed=0\tsubmenu=0$' <<<"$menu" || fail "menu has no File > Exit: $menu"
grep -qP '^0\t&File\t0\tsep=0\tchecked=0\tgrayed=0\tsubmenu=1$' <<<"$menu" || fail "menu has no File popup"
grep -qP '^1\t\t0\tsep=1' <<<"$menu" || fail "menu shows no separator"
ok "menu"
expect "menu-item checked" "$(drv menu-item "$title" View "Status Bar" | cut -f5)" "checked=1"
status_id=$(drv menu-item "$title" "&View" "&Status Bar" | cut -f3)
expect "choose prints the ID" "$(drv choose "$title" View "Status Bar")" "$status_id"
expect "choose toggled the check mark" "$(drv menu-item "$title" View "Status Bar" | cut -f5)" "checked=0"
drv choose "$title" View "Status Bar" >/dev/null || fail "choose again"
expect "check mark back" "$(drv menu-item "$title" View "Status Bar" | cut -f5)" "checked=1"
expect_refusal "choose an item that does not exist" choose "$title" File "No such item"
expect_refusal "choose a popup" choose "$title" Edit

# --- keyboard --------------------------------------------------------------
drv activate "$title" >/dev/null || fail "activate"
expect "type counts its characters" "$(drv type "Hello World 42" 30)" 14
expect "wait-text sees the typed text" "$(drv wait-text "$title" "$edit_id" "Hello World 42")" "Hello World 42"
expect "text reads it back" "$(drv text "$title" "$edit_id")" "Hello World 42"
expect_refusal "wait-text for a text that never comes" wait-text "$title" "$edit_id" "Goodbye"
drv keys 8 0x08 >/dev/null || fail "keys"
expect "keys pressed Backspace twice" "$(drv wait-text "$title" "$edit_id" "Hello World ")" "Hello World "
expect "status bar follows the caret" "$(eventually status_text "Ln 1, Col 13")" "Ln 1, Col 13"

# --- mouse -----------------------------------------------------------------
expect "move" "$(drv move 900 700)" "900,700"
expect "path" "$(drv path 900 700 800 650 5 10)" "800,650"
info=$(drv window-info "$title")
origin=$(field origin "$info")
edit_rect=$(cut -f5 <<<"$edit_line")
IFS=, read -r ox oy <<<"$origin"
IFS=, read -r el et _ _ <<<"$edit_rect"
# The first character of the text, a little inside the edit control.
drv click $((ox + el + 5)) $((oy + et + 6)) >/dev/null || fail "click"
expect "click put the caret at the start" "$(eventually status_text "Ln 1, Col 1")" "Ln 1, Col 1"
drv type "X" >/dev/null
expect "typed at the click" "$(drv wait-text "$title" "$edit_id" "XHello World ")" "XHello World "

outer=$(field outer "$info")
IFS=, read -r w h <<<"$outer"
expect "drag-frame" "$(drv drag-frame "$title" -120 -60)" "outer=$((w - 120)),$((h - 60))"
expect "window-info after the drag" "$(field outer "$(drv window-info "$title")")" "$((w - 120)),$((h - 60))"

drv syscommand "$title" minimize >/dev/null || fail "syscommand minimize"
sleep 0.5
expect "minimized" "$(field iconic "$(drv window-info "$title")")" 1
drv syscommand "$title" restore >/dev/null || fail "syscommand restore"
sleep 0.5
expect "restored" "$(field iconic "$(drv window-info "$title")")" 0

# --- message boxes ---------------------------------------------------------
drv choose "$title" File Exit >/dev/null || fail "choose File > Exit"
box=$(drv msgbox Notepad) || fail "msgbox"
grep -q "^text	.*save the changes?" <<<"$box" || fail "msgbox text: $box"
expect "msgbox buttons" "$(grep '^button' <<<"$box" | cut -f3 | paste -sd, -)" "Yes,No,Cancel"
expect_refusal "answer with a button that does not exist" answer Notepad "Maybe"
answer=$(drv answer Notepad Cancel) || fail "answer Cancel"
expect "answer clicked Cancel" "$(tail -n1 <<<"$answer" | cut -f3)" "Cancel"
drv --timeout 1000 wait-gone Notepad >/dev/null || fail "the message box is still there"
expect "Cancel kept Notepad open" "$(drv --timeout 1000 wait-window "$title")" "$hwnd"

drv close "$title" >/dev/null || fail "close"
drv answer Notepad "&No" >/dev/null || fail "answer No"
drv wait-gone "$title" >/dev/null || fail "Notepad did not exit"
ok "close, answer No, wait-gone"
expect_refusal "wait-window for a window that is gone" wait-window "$title"

drv find-window-class Shell_TrayWnd >/dev/null || fail "find-window-class Shell_TrayWnd"
ok "the Wine desktop has its tray window"

wait "$notepad_pid" 2>/dev/null
notepad_pid=
echo "selftest: $passed passed, 0 failed"
