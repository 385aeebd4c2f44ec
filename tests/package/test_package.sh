#!/usr/bin/env bash
# Tests the release as a Windows user gets it. Runs scripts/package.sh, then
# checks the files in dist/ (zip contents, the shipped exe's release form,
# the installer's version and rights), and then, under Wine in a fresh
# prefix inside Xvfb, installs, updates, runs and uninstalls Quillmark the
# way a person would: silently and through the installer's pages, with
# Quillmark running and not.
#
# The shipped installer is a 32-bit program around the 32-bit exe. Where Wine
# runs only 64-bit programs (QM_WINE_ARCH=win64, see scripts/wine-env.sh),
# the Wine part runs a test installer made from the same installer script
# around the 64-bit build; where 32-bit Wine works, it runs the shipped
# installer itself. Needs the $QM_WIN_PRESET preset built (the driver).
# Prints "package: N passed, M failed"; screenshots and logs land in
# build/package.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
self=$(realpath "${BASH_SOURCE[0]}")  # the tests are the test_ functions of this file
cd "$here"
source "$here/scripts/wine-env.sh"
source "$here/scripts/release-limits.sh"
source "$here/tests/lib/harness.sh"
out=$here/build/package
shots=$out/shots
driver=$QM_WIN_BUILD/tests/e2e/qm_e2e_driver.exe
started=$SECONDS

finish() {
  echo "screenshots and logs: $out ($((SECONDS - started)) s)"
  qm_summary package
  exit
}

# --- the release files --------------------------------------------------------
rm -rf "$out/prefix" "$shots" "$out/unzipped"
mkdir -p "$out" "$shots"
if ! bash scripts/package.sh >"$out/package.log" 2>&1; then
  cat "$out/package.log"
  qm_failed=1; echo "FAIL scripts/package.sh"; finish
fi
source build/windows/identity.sh  # the shipped program's version and names
version=$QM_VERSION
dist=$here/dist
zip=$dist/quillmark-$version-portable.zip
setup=$dist/quillmark-$version-setup.exe

objdump32() { i686-w64-mingw32-objdump "$@" 2>&1; }
resources() { i686-w64-mingw32-windres -i "$1" -O rc 2>&1; }
version_value() {  # version_value FILE NAME: a value of the version resource
  resources "$1" | sed -nE "s/^ *VALUE \"$2\", \"(.*)\"\r?$/\1/p" | head -n 1
}

file_test_release_files() {
  expect_eq "version" "$version" "$(sed -nE 's/^project\(Quillmark VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)"
  expect_eq "files in dist" "$(ls "$dist" | LC_ALL=C sort | paste -sd ' ')" \
    "SHA256SUMS quillmark-$version-portable.zip quillmark-$version-setup.exe"
  (cd "$dist" && sha256sum --quiet -c SHA256SUMS) >/dev/null 2>&1 || fail "sha256sum -c SHA256SUMS fails"
}

file_test_portable_zip() {
  expect_eq "zip contents" "$(unzip -Z1 "$zip" | paste -sd ' ')" "Quillmark/ Quillmark/quillmark.exe Quillmark/readme.txt"
  mkdir -p "$out/unzipped"
  unzip -q -o "$zip" -d "$out/unzipped" || { fail "unzip failed"; return; }
  local readme=$out/unzipped/Quillmark/readme.txt
  expect_eq "readme.txt lines without CRLF" "$(grep -cv $'\r$' "$readme")" "0"
  expect_eq "readme.txt first line" "$(head -n 1 "$readme" | tr -d '\r')" "$QM_TITLE $QM_VERSION_SHORT"
  grep -q 'AppData\\Local\\Programs\\Quillmark' "$readme" || fail "readme.txt does not name the installed location"
  grep -q 'Also delete my statistics' "$readme" || fail "readme.txt does not say how to uninstall and keep the figures"
  cmp -s "$out/unzipped/Quillmark/quillmark.exe" build/windows/program/quillmark.exe ||
    fail "the zip's quillmark.exe is not the 32-bit release build"
}

file_test_shipped_program_in_release_form() {
  local exe=$out/unzipped/Quillmark/quillmark.exe headers
  [ -f "$exe" ] || { fail "no exe from the zip"; return; }
  headers=$(objdump32 -p "$exe")
  expect_match "format" "$headers" 'file format pei-i386'
  expect_match "subsystem" "$headers" 'Subsystem[[:space:]]+00000002'
  expect_match "ASLR" "$headers" 'DYNAMIC_BASE'
  expect_match "DEP" "$headers" 'NX_COMPAT'
  # ASLR needs the relocations: a base relocation directory of some size.
  expect_match "relocations" "$(grep 'Base Relocation Directory' <<<"$headers")" '^Entry 5 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* '
  expect_eq "debug sections" "$(objdump32 -h "$exe" | grep -c ' \.debug')" "0"
  expect_match "symbols" "$(i686-w64-mingw32-nm "$exe" 2>&1)" 'no symbols'
  local size
  size=$(stat -c %s "$exe")
  [ "$size" -lt "$QM_EXE_BYTES_LIMIT" ] || fail "quillmark.exe is $size bytes, not under $QM_EXE_BYTES_LIMIT"
  expect_eq "FileVersion" "$(version_value "$exe" FileVersion)" "$version"
  expect_eq "ProductVersion" "$(version_value "$exe" ProductVersion)" "$version"
  expect_match "manifest" "$(resources "$exe")" "name=\"\"Velturn\.Quillmark\"\" version=\"\"$version\.0\"\" processorArchitecture=\"\"x86\"\""
  expect_eq "icons (program and tray)" "$(resources "$exe" | grep -c 'RT_GROUP_ICON')" "2"
}

file_test_installer_file() {
  expect_match "format" "$(objdump32 -p "$setup")" 'file format pei-i386'
  expect_eq "FileVersion" "$(version_value "$setup" FileVersion)" "$version"
  expect_eq "ProductVersion" "$(version_value "$setup" ProductVersion)" "$version"
  expect_eq "CompanyName" "$(version_value "$setup" CompanyName)" "Velturn"
  # Per user: Windows must not ask for administrator rights.
  expect_match "execution level" "$(strings -a "$setup" | grep requestedExecutionLevel)" 'requestedExecutionLevel level="asInvoker"'
}

for t in $(qm_tests_of "$self" file_test_); do qm_run_test "$t"; done

# --- under Wine ------------------------------------------------------------
if [ ! -f "$driver" ]; then
  qm_failed=$((qm_failed + 1)); echo "FAIL under Wine: $driver is missing: build the $QM_WIN_PRESET preset first"; finish
fi
if [ "$QM_WINE_ARCH" = win32 ]; then
  installer=$setup
  program=$out/unzipped/Quillmark
else
  # This Wine cannot run the shipped 32-bit installer: the same installer
  # script around the 64-bit build stands in for it.
  installer=$out/quillmark-$version-setup-amd64-test.exe
  program=$QM_WIN_BUILD/program
  if ! makensis -V2 -DIDENTITY="$QM_WIN_BUILD/identity.nsh" -DTARGET=amd64-unicode -DPROGRAM_DIR="$program" \
       -DOUTFILE="$installer" installer/quillmark.nsi >"$out/makensis-amd64.log" 2>&1; then
    cat "$out/makensis-amd64.log"; qm_failed=$((qm_failed + 1)); echo "FAIL the 64-bit test installer"; finish
  fi
fi
echo "under Wine ($QM_WINE_ARCH): $(basename "$installer")"

export WINEPREFIX=$out/prefix WINEDEBUG=-all
# No Mono or Gecko dialogs, and no Linux menu entries for the shortcut.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
unset LC_ALL LC_CTYPE LC_NUMERIC LC_TIME LC_MESSAGES LANGUAGE
export LANG=en_US.UTF-8

qm_start_screen "$out/xvfb.log" || { qm_failed=$((qm_failed + 1)); echo "FAIL no screen"; finish; }
cleanup() {
  qm_wine_release
  qm_stop_screen
}
trap cleanup EXIT

t0=$SECONDS
wineboot -i >"$out/wineboot.log" 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# One wineserver holds the prefix from here to the end (the desktop setting
# counts from its start): a program started just as a server ends by itself
# would fail inside Wine.
qm_wine_hold || { qm_failed=$((qm_failed + 1)); echo "FAIL no wineserver for the prefix"; finish; }
echo "fresh Wine prefix ($((SECONDS - t0)) s)"

drv() { wine "$driver" "$@" 2>>"$out/driver.log" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
shot() { import -window root "$shots/$1.png" 2>/dev/null; }
win_env() { wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
reg_value() {  # reg_value KEY NAME: the data of a registry value, empty when there is none
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -F'    ' -v n="$2" '$2 == n { print $4 }'
}
box_text() { awk -F'\t' '$1 == "text" { print $2 }' | head -n 1; }
listing() {  # the files of a folder with their sizes, times and checksums
  (cd "$1" 2>/dev/null && find . -type f -printf '%P %s %T@ ' -exec md5sum {} \; | sort)
}
figures() { listing "$inst" | grep -E '^(stat|DbgFile)\.dat '; }
wizard_window() { drv list-windows | awk -F'\t' -v t="$1" '$4 == 1 && index($5, t) == 1 && $2 == "#32770" { print $1; exit }'; }
wizard() {  # wizard TITLE: names the visible installer window whose title starts with TITLE
  local h
  h=$(qm_soon_match 10 . wizard_window "$1")
  [ -n "$h" ] && echo "hwnd:$h"
}
control_id() {  # control_id WINDOW TEXT: the id of the visible control showing TEXT
  drv controls "$1" | awk -F'\t' -v t="$2" '$6 == 1 && $7 == t { print $2; exit }'
}
wait_for() { qm_until "$@"; }  # wait_for SECONDS COMMAND...: until the command succeeds
gone() { [ ! -e "$1" ]; }
as_typed() {  # as_typed COMMAND-LINE: runs a command line as typed at a Windows prompt; its exit code
  printf '@echo off\r\n%s\r\nexit /b %%ERRORLEVEL%%\r\n' "$1" >"$out/as-typed.bat"
  wine cmd /c "$(winepath -w "$out/as-typed.bat" | tr -d '\r')" >>"$out/setup.log" 2>&1
}
no_entry() { ! wine reg query "$UNKEY" >/dev/null 2>&1 || fail "the Apps & features entry is still there"; }
uninstall_done() {  # the uninstaller runs on from a copy in %TEMP%: wait for its end
  wait_for 30 gone "$inst/uninstall.exe" || return 1
  wait_for 10 no_uninstaller
}
no_uninstaller() { ! drv list-windows | awk -F'\t' '{ print $5 }' | grep -q '^Uninstall Quillmark'; }
start_installed() { (cd "$inst" && exec wine quillmark.exe "$@" >>"$out/program.log" 2>&1) & }
exit_quillmark() {
  drv choose "$MAIN" File Exit >/dev/null
  drv wait-gone "$MAIN" >/dev/null || fail "Quillmark did not end on Exit"
}

MAIN=$QM_TITLE
UNKEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillmark'
RUN='Software\Microsoft\Windows\CurrentVersion\Run'
inst_win="$(win_env LOCALAPPDATA)\\Programs\\Quillmark"
inst=$(unix_path "$inst_win")
lnk="$(unix_path "$(win_env APPDATA)")/Microsoft/Windows/Start Menu/Programs/Quillmark.lnk"
KNOWN_STAT=$'15234\r\n812.37\r\n4521873\r\n9876\r\n1543.2\r\n3410\r\n86400\r\n03-14-2024\r\nFalse\r\n'
KNOWN_LOG=$'12-01-2025 10:00:00.(1234.56789): PrevInstance detected\r\n'

test_silent_install() {
  wine "$installer" /S >>"$out/setup.log" 2>&1
  expect_eq "exit code" "$?" "0"
  expect_eq "installed files" "$(ls "$inst" 2>&1 | paste -sd ' ')" "quillmark.exe readme.txt uninstall.exe"
  cmp -s "$inst/quillmark.exe" "$program/quillmark.exe" || fail "the installed quillmark.exe differs from the program"
  cmp -s "$inst/readme.txt" "$program/readme.txt" || fail "the installed readme.txt differs"
  [ -f "$lnk" ] || fail "no Start menu shortcut at $lnk"
  expect_eq "DisplayName" "$(reg_value "$UNKEY" DisplayName)" "Quillmark"
  expect_eq "DisplayVersion" "$(reg_value "$UNKEY" DisplayVersion)" "$version"
  expect_eq "Publisher" "$(reg_value "$UNKEY" Publisher)" "Velturn"
  expect_eq "DisplayIcon" "$(reg_value "$UNKEY" DisplayIcon)" "$inst_win\\quillmark.exe,0"
  expect_eq "InstallLocation" "$(reg_value "$UNKEY" InstallLocation)" "$inst_win"
  expect_eq "UninstallString" "$(reg_value "$UNKEY" UninstallString)" "\"$inst_win\\uninstall.exe\""
  expect_eq "QuietUninstallString" "$(reg_value "$UNKEY" QuietUninstallString)" "\"$inst_win\\uninstall.exe\" /S"
  expect_eq "NoModify, NoRepair" "$(reg_value "$UNKEY" NoModify) $(reg_value "$UNKEY" NoRepair)" "0x1 0x1"
  local kb
  kb=$(($(reg_value "$UNKEY" EstimatedSize)))
  [ "$kb" -ge $(($(du -k --apparent-size "$inst/quillmark.exe" | cut -f1))) ] && [ "$kb" -lt 2048 ] ||
    fail "EstimatedSize $kb KB"
}

test_starts_from_the_start_menu() {
  wine start /unix "$lnk" >>"$out/program.log" 2>&1
  drv wait-window "$MAIN" >/dev/null || { fail "the shortcut did not start Quillmark"; return; }
  wait_for 5 test -f "$inst/stat.dat" || fail "no stat.dat in the installed folder"
  expect_eq "stat.dat lines" "$(tr -d '\r' <"$inst/stat.dat" | wc -l)" "9"
  exit_quillmark
}

# The installed folder's files. history.csv and the folder "history" are
# there once a run of the program saved something new, which depends on how
# long it ran: left out.
user_files() { ls "$inst" 2>&1 | grep -vxE 'history.csv|history' | paste -sd ' '; }
KNOWN_HOURS=$'date,hour,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds\r\n2025-01-02,3,5,1,40,2,0.5,0.25,60\r\n'


test_update_keeps_the_figures() {
  printf '%s' "$KNOWN_STAT" >"$inst/stat.dat"
  printf '%s' "$KNOWN_LOG" >"$inst/DbgFile.dat"
  : >"$inst/stat.dat.lock"  # left behind by a crash of the whole system: it holds nothing
  touch -d '2025-01-02 03:04:05' "$inst/stat.dat" "$inst/DbgFile.dat"
  mkdir -p "$inst/history" && printf '%s' "$KNOWN_HOURS" >"$inst/history/2025-01-hours.csv"
  local before
  before=$(figures)
  wine "$installer" /S >>"$out/setup.log" 2>&1
  expect_eq "exit code" "$?" "0"
  expect_eq "files" "$(user_files)" "DbgFile.dat quillmark.exe readme.txt stat.dat stat.dat.lock uninstall.exe"
  expect_eq "stat.dat" "$(md5sum <"$inst/stat.dat")" "$(printf '%s' "$KNOWN_STAT" | md5sum)"
  expect_eq "DbgFile.dat" "$(md5sum <"$inst/DbgFile.dat")" "$(printf '%s' "$KNOWN_LOG" | md5sum)"
  expect_eq "a month file" "$(md5sum <"$inst/history/2025-01-hours.csv")" "$(printf '%s' "$KNOWN_HOURS" | md5sum)"
  expect_eq "the two files with their times" "$(figures)" "$before"
}

test_running_program_stops_a_silent_run() {
  start_installed
  drv wait-window "$MAIN" >/dev/null || { fail "Quillmark did not start"; return; }
  [ -e "$inst/stat.dat.lock" ] || fail "no stat.dat.lock while Quillmark runs"
  local before entry
  before=$(listing "$inst")
  entry=$(wine reg query "$UNKEY" 2>&1)
  rm -f "$out/silent.log"
  wine "$installer" /S "/LOG=$(winepath -w "$out/silent.log" | tr -d '\r')" >>"$out/setup.log" 2>&1
  expect_eq "installer's exit code" "$?" "2"
  expect_match "installer's reason" "$(tr -d '\r' <"$out/silent.log" 2>&1)" '^Quillmark is running .*nothing was changed'
  # The uninstaller, waited for (_?=) so that its exit code can be seen.
  wine "$inst/uninstall.exe" /S "/LOG=$(winepath -w "$out/silent.log" | tr -d '\r')" "_?=$inst_win" >>"$out/setup.log" 2>&1
  expect_eq "uninstaller's exit code" "$?" "2"
  expect_eq "reasons given" "$(grep -c 'Quillmark is running' "$out/silent.log" 2>&1)" "2"
  expect_eq "the folder" "$(listing "$inst")" "$before"
  expect_eq "the Apps & features entry" "$(wine reg query "$UNKEY" 2>&1)" "$entry"
  [ -f "$lnk" ] || fail "the shortcut went"
  drv --timeout 1000 wait-window "$MAIN" >/dev/null || fail "Quillmark no longer runs"
  exit_quillmark
  wait_for 2 gone "$inst/stat.dat.lock" || fail "stat.dat.lock stays after Exit"
}

test_installer_pages_wait_for_exit() {
  local stat_before w text
  start_installed
  drv wait-window "$MAIN" >/dev/null || { fail "Quillmark did not start"; return; }
  drv type "abc" 100 >/dev/null  # three key presses not yet saved
  stat_before=$(tr -d '\r' <"$inst/stat.dat" | head -n 1)
  (exec wine "$installer" >>"$out/setup.log" 2>&1) &
  w=$(wizard "Quillmark $version Setup") || { fail "no installer window"; return; }
  expect_eq "welcome title" "$(drv wait-text "$w" 1201 "Welcome to Quillmark Setup")" "Welcome to Quillmark Setup"
  shot installer-welcome
  drv click-control "$w" 1 >/dev/null
  expect_eq "folder offered" "$(drv wait-text "$w" 1019 "$inst_win")" "$inst_win"
  shot installer-folder
  drv click-control "$w" 1 >/dev/null  # Install
  text=$(drv msgbox "Quillmark $version Setup" | box_text)
  expect_match "question" "$text" '^Quillmark is running\..*choose Exit in its File menu.*Then click Retry\.'
  shot installer-running
  drv answer "Quillmark $version Setup" Retry >/dev/null   # returns once the box has closed
  drv --timeout 3000 msgbox "Quillmark $version Setup" >/dev/null || fail "Retry went on while Quillmark ran"
  exit_quillmark
  expect_eq "stat.dat keys saved by Exit" "$(tr -d '\r' <"$inst/stat.dat" | head -n 1)" "$((stat_before + 3))"
  drv answer "Quillmark $version Setup" Retry >/dev/null
  local box
  box=$(qm_soon_match 10 . control_id "$w" "Start Quillmark")
  [ -n "$box" ] || { fail "no finish page with Start Quillmark"; shot installer-no-finish; return; }
  shot installer-finish
  drv click-control "$w" 1 >/dev/null  # Finish, with Start Quillmark ticked
  drv wait-window "$MAIN" >/dev/null || { fail "Finish did not start Quillmark"; return; }
  expect_eq "stat.dat keys after the update" "$(tr -d '\r' <"$inst/stat.dat" | head -n 1)" "$((stat_before + 3))"
  exit_quillmark
}

test_silent_uninstall_keeps_the_figures() {
  start_installed
  drv wait-window "$MAIN" >/dev/null || { fail "Quillmark did not start"; return; }
  drv choose "$MAIN" File "Run at start" >/dev/null
  # The installed copy is in the user's profile: it registers for this user only.
  wait_for 5 test -n "$(reg_value "HKCU\\$RUN" "$QM_TITLE")" || fail "Run at start wrote no Run value"
  expect_eq "Run value (HKLM) of a copy in the profile" "$(reg_value "HKLM\\$RUN" "$QM_TITLE")" ""
  exit_quillmark
  # Another copy's Run value stays: it starts that copy, not this one.
  wine reg add "HKLM\\$RUN" /v "$QM_TITLE" /d 'D:\Portable\Quillmark\quillmark.exe /hiden' /f >/dev/null 2>&1
  local kept
  kept=$(figures)
  wine "$inst/uninstall.exe" /S >>"$out/setup.log" 2>&1
  expect_eq "exit code" "$?" "0"
  uninstall_done || fail "the uninstaller did not finish"
  expect_eq "files left" "$(user_files)" "DbgFile.dat stat.dat"
  expect_eq "the figures" "$(figures)" "$kept"
  [ ! -e "$lnk" ] || fail "the shortcut is still there"
  no_entry
  expect_eq "Run value (HKCU)" "$(reg_value "HKCU\\$RUN" "$QM_TITLE")" ""
  expect_eq "another copy's Run value (HKLM)" "$(reg_value "HKLM\\$RUN" "$QM_TITLE")" 'D:\Portable\Quillmark\quillmark.exe /hiden'
  wine reg delete "HKLM\\$RUN" /v "$QM_TITLE" /f >/dev/null 2>&1
}

uninstall_page() {  # uninstall_page tick|keep SHOT: the uninstaller through its page
  (exec wine "$inst/uninstall.exe" >>"$out/setup.log" 2>&1) &
  local w box
  w=$(wizard "Uninstall Quillmark") || { fail "no uninstaller window"; return 1; }
  box=$(qm_soon_match 5 . control_id "$w" "Also delete my statistics")
  [ -n "$box" ] || { fail "no check box 'Also delete my statistics'"; return 1; }
  [ "$1" = tick ] && drv click-control "$w" "$box" >/dev/null
  shot "$2"
  drv click-control "$w" 1 >/dev/null  # Uninstall
  wait_for 30 gone "$inst/uninstall.exe" || { fail "the uninstaller did not finish"; return 1; }
  drv wait-text "$w" 1 "&Close" >/dev/null || fail "no Close button at the end"
  drv click-control "$w" 1 >/dev/null  # Close
  wait_for 10 no_uninstaller || fail "the uninstaller's window stays"
}

test_uninstall_page_deletes_only_when_ticked() {
  wine "$installer" /S >>"$out/setup.log" 2>&1 || { fail "reinstalling failed"; return; }
  expect_eq "stat.dat kept by the reinstall" "$(user_files)" "DbgFile.dat quillmark.exe readme.txt stat.dat uninstall.exe"
  local kept
  kept=$(figures)
  uninstall_page keep uninstaller-page || return
  expect_eq "left with the box as it came" "$(user_files)" "DbgFile.dat stat.dat"
  expect_eq "the figures" "$(figures)" "$kept"

  wine "$installer" /S >>"$out/setup.log" 2>&1 || { fail "reinstalling failed"; return; }
  : >"$inst/stat.dat.lock"  # one left behind goes with the folder
  mkdir -p "$inst/history" && printf '%s' "$KNOWN_HOURS" >"$inst/history/2025-01-hours.csv"
  printf 'date,key_code,key_name,presses\r\n2025-01-02,65,A,3\r\n' >"$inst/history/2025-01-keys.csv"
  printf 'date,program,name,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,active_seconds\r\n2025-01-02,notepad.exe,Notepad,3,0,0,2,0.5,0,1.5\r\n' \
    >"$inst/history/2025-01-programs.csv"
  printf 'QMSCREEN' >"$inst/history/2025-01-screen.map"
  printf 'QMSCREEN' >"$inst/history/2025-01-screen-000061.map"
  printf 'QMSCREEN' >"$inst/history/2025-01-screen-000062.new"
  uninstall_page tick uninstaller-page-ticked || return
  [ ! -e "$inst" ] || fail "with the box ticked the folder stays: $(ls "$inst")"
  no_entry
}

test_other_folder_and_quiet_uninstall() {
  local folder_win='C:\Tools and more\Quill mark' folder quiet
  folder=$(unix_path "$folder_win")
  as_typed "\"$(winepath -w "$installer" | tr -d '\r')\" /S /D=$folder_win"
  expect_eq "exit code" "$?" "0"
  expect_eq "installed files" "$(ls "$folder" 2>&1 | paste -sd ' ')" "quillmark.exe readme.txt uninstall.exe"
  [ ! -e "$inst" ] || fail "something went to the default folder"
  expect_eq "InstallLocation" "$(reg_value "$UNKEY" InstallLocation)" "$folder_win"
  quiet=$(reg_value "$UNKEY" QuietUninstallString)
  expect_eq "QuietUninstallString" "$quiet" "\"$folder_win\\uninstall.exe\" /S"
  as_typed "$quiet"
  wait_for 30 gone "$folder" || fail "the folder stays: $(ls "$folder" 2>&1)"
  no_entry
}

for t in $(qm_tests_of "$self"); do qm_run_test "$t" "$out/driver.log"; done
finish
