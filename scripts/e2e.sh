#!/usr/bin/env bash
# End-to-end tests: the real quillmark.exe under Wine, in a virtual desktop
# inside Xvfb, driven as a person would by tests/e2e/driver.cpp. Checks the
# windows, stat.dat, DbgFile.dat and the registry; leaves screenshots and
# logs in build/e2e. Needs the windows preset built. The tests are the test_
# functions of the files in tests/e2e, by topic; QM_E2E_TESTS may name some.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
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

# --- the tests ----------------------------------------------------------------
source "$here/tests/e2e/common.sh"
topics=(counting_and_files windows_and_menus tray_and_hidden_start single_copy history)
for topic in "${topics[@]}"; do source "$here/tests/e2e/$topic.sh"; done
# Each test starts with no program running, and leaves none.
QM_BEFORE_TEST=stop_all QM_AFTER_TEST=stop_all
if [ -n "${QM_E2E_TESTS:-}" ]; then
  tests=$QM_E2E_TESTS
else
  tests=$(for topic in "${topics[@]}"; do qm_tests_of "$here/tests/e2e/$topic.sh"; done)
fi
for t in $tests; do qm_run_test "test_${t#test_}" "$out/driver.log" "$out/program.log"; done

echo "screenshots and logs: $out"
qm_summary e2e
