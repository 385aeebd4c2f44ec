# shellcheck shell=bash
# The main window and the About window, their layouts at 96 and 144 dpi, and
# what each menu command does, "Run at start" included.
# Sourced by scripts/e2e.sh, which runs the test_ functions in file order.

test_layout_matches_the_tables() {
  new_folder
  start_shown || return
  expect_match "layout at 96 dpi" "$(layout_check main "$out/layout-96.txt")" "checked at 96 dpi, 0 differences"
  shot main-96dpi
}

test_reset_questions() {
  new_folder
  start_shown || return
  drv type "abc" 120 >/dev/null
  wait_label $CUR_KEYS 3
  local before
  before=$(md5sum <"$prog/stat.dat")
  drv choose "$MAIN" File "Reset current statistics" >/dev/null
  expect_eq "current question" "$(drv answer Quillmark Cancel | box_text)" "Do you really want reset current statistics?"
  drv choose "$MAIN" File "Reset common statistics" >/dev/null
  expect_eq "common question" "$(drv answer Quillmark Cancel | box_text)" "Do you really want reset common statistics?"
  expect_stays "keys after Cancel" "3/3" 0.5 labels $CUR_KEYS $ALL_KEYS
  expect_eq "stat.dat after Cancel" "$(md5sum <"$prog/stat.dat")" "$before"

  drv choose "$MAIN" File "Reset current statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_soon "keys after resetting the current run" "0/3" labels $CUR_KEYS $ALL_KEYS
  expect_match "run clock restarted" "$(label $CUR_TIME)" '^00:00:0[0-2]$'
  expect_eq "stat.dat after resetting the current run" "$(stat_line 1)" "3"

  drv type "xy" 120 >/dev/null     # unsaved: they survive the reset of the common figures
  wait_label $CUR_KEYS 2
  drv choose "$MAIN" File "Reset common statistics" >/dev/null
  drv answer Quillmark OK >/dev/null
  expect_soon "all-time keys after resetting them" "2" label $ALL_KEYS
  expect_eq "caption after resetting" "$(label $ALL_BOX)" "Статистика за все время (с $today)"
  expect_eq "stat.dat after resetting the common figures" "$(stat_line 1)/$(stat_line 8)" "2/$today"
}

test_save_writes_before_it_confirms() {
  new_folder
  start_shown || return
  drv type "save" 120 >/dev/null
  wait_label $CUR_KEYS 4
  drv choose "$MAIN" File "Save statistics" >/dev/null
  expect_eq "confirmation" "$(drv msgbox Quillmark | box_text)" "Statistics saved sucessfully"
  expect_eq "stat.dat while the confirmation is open" "$(stat_line 1)" "4"
  drv answer Quillmark OK >/dev/null
}

test_exit_from_the_file_menu_saves_everything() {
  new_folder
  start_shown || return
  drv type "abcde" 120 >/dev/null
  drv click 700 600 right >/dev/null
  expect_soon "keys and clicks before Exit" "5/1" labels $CUR_KEYS $CUR_CLICKS
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || { fail "Exit did not end the program"; return; }
  expect_eq "stat.dat keys" "$(stat_line 1)" "5"
  expect_eq "stat.dat clicks" "$(stat_line 6)" "1"
  expect_soon "tray icon after Exit" "" tray_icon
}

test_run_at_start_twice() {
  clear_run_values
  new_folder
  # Line 9 says on, but this copy's value (REG_EXPAND_SZ, as installers write it) is off in Windows' own Startup switch.
  printf '0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nTrue\r\n' >"$prog/stat.dat"
  wine reg add "$RUN_KEY" /v "$QM_TITLE" /t REG_EXPAND_SZ /d '%QM_E2E_FOLDER%\quillmark.exe /hiden' /f >/dev/null 2>&1
  wine reg add "$APPROVED_KEY" /v "$QM_TITLE" /t REG_BINARY /d 030000000000000000000000 /f >/dev/null 2>&1
  QM_E2E_FOLDER=$(win_path "$prog") start_shown || return
  expect_eq "check mark at start" "$(checked File "Run at start")" "0"
  drv choose "$MAIN" File "Run at start" >/dev/null
  expect_soon "Run value" "$(win_path "$prog")\\quillmark.exe /hiden" run_value
  expect_soon "Windows' Startup switch after the first choice" "020000000000000000000000" approval
  expect_eq "check mark after the first choice" "$(checked File "Run at start")" "1"
  drv choose "$MAIN" File "Run at start" >/dev/null
  expect_soon "Run value after the second choice" "" run_value
  expect_eq "check mark after the second choice" "$(checked File "Run at start")" "0"
  stop_all

  # An unreadable flag on line 9 registers the program at start-up.
  new_folder
  printf '0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n01-02-2025\r\nyes\r\n' >"$prog/stat.dat"
  start_shown || return
  expect_eq "Run value after line 9 'yes'" "$(run_value)" "$(win_path "$prog")\\quillmark.exe /hiden"
  expect_eq "check mark after line 9 'yes'" "$(checked File "Run at start")" "1"
  drv choose "$MAIN" File "Run at start" >/dev/null
  expect_soon "Run value after the choice" "" run_value
}

test_dragging_the_frame_keeps_the_size() {
  new_folder
  start_shown || return
  drv drag-frame "$MAIN" 120 90 >/dev/null
  expect_stays "outer size after a drag" "outer=562,366" 0.5 outer_size "$MAIN"
}

logo_differences() {  # SHOT: the pixels of the About window's logo there unlike ui/res/logo.png's
  local x y
  read -r x y < <(drv window-info About | sed -E 's/.*origin=([0-9]+),([0-9]+).*/\1 \2/')
  # At 96 dpi the logo's box starts 24,16 px into the client area; its top 8 rows are cut off.
  convert "$out/shots/$1.png" -crop "340x177+$((x + 24))+$((y + 24))" +repage "$out/logo-$1.png"
  convert "$here/ui/res/logo.png" -crop 340x177+0+8 +repage "$out/logo-expected.png"
  compare -metric AE "$out/logo-$1.png" "$out/logo-expected.png" null: 2>&1
}

test_about_window() {
  new_folder
  start_shown || return
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window"; return; }
  expect_eq "version" "$(drv wait-text About $ABOUT_VERSION "$QM_VERSION_SHORT")" "$QM_VERSION_SHORT"
  expect_match "About layout" "$(layout_check about "$out/layout-about.txt")" "0 differences"
  shot about
  expect_eq "logo pixels unlike logo.png" "$(logo_differences about)" "0"
  drv activate About >/dev/null
  drv keys 0x1B >/dev/null
  expect_stays "About after Escape" "1" 0.5 visible About
  rm -f "$out/opened.txt"
  drv click-control About $ABOUT_SITE >/dev/null
  drv click-control About $ABOUT_MAIL >/dev/null
  qm_until 10 [ "$(opened)" = 2 ]
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

# Without the imaging component only the logo is missing.
test_about_window_without_the_imaging_component() {
  new_folder
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;windowscodecs=d" start_shown || return
  drv choose "$MAIN" "?" About >/dev/null
  expect_eq "version" "$(drv wait-text About $ABOUT_VERSION "$QM_VERSION_SHORT")" "$QM_VERSION_SHORT"
  shot about-without-logo
  expect_match "logo pixels unlike logo.png" "$(logo_differences about-without-logo)" '^[1-9][0-9]*$'
  drv click-control About $ABOUT_BACK >/dev/null
  drv wait-gone About >/dev/null || fail "Back did not close the About window"
}

test_double_click_on_a_link_opens_it_once() {
  new_folder
  start_shown || return
  rm -f "$out/opened.txt"
  drv click-control "$MAIN" $MAIN_SITE left double >/dev/null
  qm_soon 10 1 opened >/dev/null
  expect_stays "openings after a double-click on the web link" "1" 2 opened
  expect_match "web link target" "$(head -n 1 "$out/opened.txt" 2>/dev/null)" 'velturnquillmark1\.3$'
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-text About $ABOUT_VERSION "$QM_VERSION_SHORT" >/dev/null || { fail "no About window"; return; }
  drv click-control About $ABOUT_ICQ left double >/dev/null
  qm_soon 10 2 opened >/dev/null
  expect_stays "openings after a double-click on the ICQ link" "2" 2 opened
  expect_match "ICQ link target" "$(sed -n 2p "$out/opened.txt" 2>/dev/null)" 'uin=[0-9]+&action=message$'
}

test_about_keyboard() {
  new_folder
  start_shown || return
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window"; return; }
  drv activate About >/dev/null
  drv wait-focus About $ABOUT_BACK >/dev/null || fail "Back has no focus in the About window"
  shot about-back-focused
  drv keys 0x0D >/dev/null          # Enter
  drv --timeout 3000 wait-gone About >/dev/null || fail "Enter on Back did not close the About window"

  # Another program in front, then the About window again: Back has the focus.
  drv choose "$MAIN" "?" About >/dev/null
  drv wait-window About >/dev/null || { fail "no About window the second time"; return; }
  (cd "$prog" && exec wine notepad >>"$out/program.log" 2>&1) &
  drv --timeout 15000 wait-window "Untitled - Notepad" >/dev/null || { fail "Notepad did not start"; return; }
  drv activate "Untitled - Notepad" >/dev/null
  drv activate About >/dev/null
  drv wait-focus About $ABOUT_BACK >/dev/null || fail "Back has no focus when the About window is activated again"
  shot about-activated-again
  drv keys 0x20 >/dev/null          # Space
  drv --timeout 3000 wait-gone About >/dev/null || fail "Space on Back did not close the About window after it was activated again"
}

test_help_with_and_without_readme() {
  new_folder
  start_shown || return
  drv choose "$MAIN" "?" Help >/dev/null
  drv --timeout 15000 wait-window "readme.txt - Notepad" >/dev/null || { fail "Help did not open readme.txt"; drv list-windows >"$out/help-windows.txt"; shot help-open; }
  drv close "readme.txt - Notepad" >/dev/null
  rm -f "$prog/readme.txt"
  drv choose "$MAIN" "?" Help >/dev/null
  [ "$(drv --timeout 2500 msgbox Quillmark 2>/dev/null | box_text)" = "" ] || fail "a message of the program's own"
  expect_eq "main window after Help" "$(visible "$MAIN")" "1"
  shot help-missing
  # A Notepad still open goes with stop_all, which ends the prefix's programs only.
}

test_high_dpi_layout() {
  screen_dpi 144
  new_folder
  start
  if drv wait-window "$MAIN" >/dev/null; then
    expect_match "layout at 144 dpi" "$(layout_check main "$out/layout-144.txt")" "checked at 144 dpi, 0 differences"
    shot main-144dpi
  else
    fail "the main window did not appear at 144 dpi"
  fi
  screen_dpi 96
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
  start_shown || return
  drv choose "$MAIN" File "Run at start" >/dev/null
  expect_soon "the user's Run value" "$mine" run_value "$USER_RUN_KEY"
  expect_eq "the machine's Run value" "$(run_value)" ""
  drv choose "$MAIN" File "Run at start" >/dev/null
  expect_soon "the user's Run value when off" "" run_value "$USER_RUN_KEY"

  wine reg add "$RUN_KEY" /v "$QM_TITLE" /d "$other" /f >/dev/null 2>&1
  drv choose "$MAIN" File "Run at start" >/dev/null
  drv msgbox Quillmark >/dev/null || fail "no message about the other copy"
  shot another-copy-starts-too
  local text
  text=$(printf '%b' "$(drv answer Quillmark OK | box_text)")
  [[ "$text" == *$'\n'"C:\\Program Files\\Quillmark"$'\n'*"Both copies would start"* ]] ||
    fail "the message does not name the other copy: [$text]"
  expect_eq "check mark" "$(checked File "Run at start")" "1"
  expect_eq "the other copy's value" "$(run_value)" "$other"
  expect_eq "the user's Run value" "$(run_value "$USER_RUN_KEY")" "$mine"
  drv choose "$MAIN" File "Run at start" >/dev/null
  expect_soon "the user's Run value after off" "" run_value "$USER_RUN_KEY"
  expect_eq "the other copy's value after off" "$(run_value)" "$other"
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null
  clear_run_values
  rm -rf "$prog"
}
