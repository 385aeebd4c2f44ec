#!/usr/bin/env bash
# Sets up what is missing, builds Quillmark for Windows and starts it under
# Wine. On a desktop it opens in a Wine virtual desktop (with a taskbar and a
# notification area) on your display. Without a display it runs in Xvfb,
# leaves a screenshot of the window in build/start-screenshot.png and ends.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
bash scripts/setup.sh
# The 32-bit program, or the 64-bit build where this machine's Wine runs only 64-bit programs.
source scripts/wine-env.sh
cmake --preset "$QM_WIN_PRESET" >/dev/null
cmake --build --preset "$QM_WIN_PRESET"

program=$QM_WIN_BUILD/program
export WINEPREFIX=${WINEPREFIX:-$here/build/run-prefix-$QM_WINE_ARCH} WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=d}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  # One virtual desktop for every program of this prefix, with a taskbar and a notification area.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Quillmark /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Quillmark /d 1024x768 /f >/dev/null 2>&1
  wineserver -w
fi

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting Quillmark from $program (stat.dat is kept there)"
  cd "$program"
  exec wine quillmark.exe "$@"
fi

source "$here/tests/lib/harness.sh"
qm_start_screen /dev/null || exit 1
trap 'qm_wine_release; qm_stop_screen' EXIT
# One wineserver for the program and the driver that waits for its window.
qm_wine_hold
(cd "$program" && exec wine quillmark.exe "$@" >/dev/null 2>&1) &
wine "$QM_WIN_BUILD/tests/e2e/qm_e2e_driver.exe" --timeout 30000 wait-window "$(source "$QM_WIN_BUILD/identity.sh"; echo "$QM_TITLE")" >/dev/null
sleep 2
import -window root "$here/build/start-screenshot.png"
echo "No display: Quillmark ran in Xvfb. Screenshot: $here/build/start-screenshot.png"
