# shellcheck shell=bash
# The notification area icon and the hidden start: the window hides and comes
# back, counting goes on meanwhile, and the tray menu's Exit saves.
# Sourced by scripts/e2e.sh, which runs the test_ functions in file order.

test_hidden_start_shows_only_the_tray_icon() {
  new_folder
  start /hiden
  drv wait-window-any "$MAIN" >/dev/null || { fail "no main window"; return; }
  [ -n "$(tray_icon)" ] || fail "no tray icon"
  expect_stays "window visible after /hiden" "0" 0.5 visible "$MAIN"
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
  start_shown || return
  local before
  before=$(md5sum <"$prog/stat.dat")
  drv close "$MAIN" >/dev/null
  expect_soon "visible after the close box" "0" visible "$MAIN"
  expect_eq "stat.dat after the close box" "$(md5sum <"$prog/stat.dat")" "$before"
  [ -n "$(tray_icon)" ] || fail "the tray icon went with the window"
  drv type "hidden" 120 >/dev/null
  tray_double_click
  drv wait-window "$MAIN" >/dev/null || { fail "the window did not come back"; return; }
  expect_soon "keys typed while hidden" "6" label $CUR_KEYS
}

test_exit_from_the_tray_menu_while_hidden() {
  new_folder
  start /hiden
  drv wait-window-any "$MAIN" >/dev/null || { fail "no main window"; return; }
  [ -n "$(tray_icon)" ] || { fail "no tray icon"; return; }
  drv type "tray" 120 >/dev/null
  tray_menu || return
  shot tray-menu
  drv keys 0x26 0x0D >/dev/null     # Up wraps to the last item, Exit; Enter chooses it
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit from the tray menu did not end the program"; return; }
  # Up and Enter are key presses too, counted before the final save.
  expect_match "stat.dat keys" "$(stat_line 1)" '^(4|5|6)$'
  expect_soon "tray icon after Exit" "" tray_icon
}

test_hidden_run_stays_shown_through_message_boxes() {
  new_folder
  start /hiden
  drv wait-window-any "$MAIN" >/dev/null || { fail "no main window"; return; }
  tray_double_click
  drv wait-window "$MAIN" >/dev/null || { fail "a double-click on the icon did not show the window"; return; }
  drv choose "$MAIN" File "Save statistics" >/dev/null
  drv answer Quillmark OK >/dev/null || fail "no confirmation of the save"
  expect_stays "visible after the save confirmation" "1" 0.5 visible "$MAIN"
  drv choose "$MAIN" File "Reset current statistics" >/dev/null
  drv answer Quillmark Cancel >/dev/null || fail "no reset question"
  expect_stays "visible after a reset question" "1" 0.5 visible "$MAIN"
  # A save that fails: its temporary file cannot be written over a folder.
  mkdir "$prog/stat.dat.tmp"
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_match "error box" "$(drv answer Quillmark OK | box_text)" 'could not save'
  rmdir "$prog/stat.dat.tmp"
  expect_stays "visible after an error box" "1" 0.5 visible "$MAIN"
  tray_menu
  drv keys 0x1B >/dev/null          # the tray menu closes without a choice
  qm_until 5 not popup_menu_open || fail "the tray menu stays open after Escape"
  expect_stays "visible after the tray menu" "1" 0.5 visible "$MAIN"
  shot hidden-run-after-boxes
  # Activation coming back from the About window hides a hidden run again.
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window"; return; }
  drv click-control About $ABOUT_BACK >/dev/null
  drv wait-gone About >/dev/null || fail "Back did not close the About window"
  expect_soon "visible after About and Back" "0" visible "$MAIN"
  [ -n "$(tray_icon)" ] || fail "no tray icon after About"
}
