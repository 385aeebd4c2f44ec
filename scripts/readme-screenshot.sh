#!/usr/bin/env bash
# Takes the README's picture of the main window, docs/main-window.png, from
# the real program under Wine in Xvfb at 96 dpi: a stat.dat with a few weeks
# of figures, then a few seconds of typing, pointing and clicking so that the
# current run shows figures too. Builds the program first if needed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
source scripts/wine-env.sh
cmake --preset "$QM_WIN_PRESET" >/dev/null
cmake --build --preset "$QM_WIN_PRESET" >/dev/null

out=$here/build/readme-screenshot
driver=$QM_WIN_BUILD/tests/e2e/qm_e2e_driver.exe
rm -rf "$out"
mkdir -p "$out/Quillmark" docs
cp "$QM_WIN_BUILD/program/quillmark.exe" "$QM_WIN_BUILD/program/readme.txt" "$out/Quillmark/"
# About five weeks of use: 102 hours, 17.5 km of pointer travel, typing at
# about 336 letters a minute.
printf '418652\r\n20415.6\r\n61283940\r\n296410\r\n52877.3\r\n96215\r\n367290\r\n11-02-2026\r\nFalse\r\n' \
  >"$out/Quillmark/stat.dat"

export WINEPREFIX=$out/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
unset LC_ALL LC_CTYPE LC_NUMERIC LC_TIME LC_MESSAGES LANGUAGE
export LANG=en_US.UTF-8
source "$here/tests/lib/harness.sh"
qm_start_screen /dev/null || exit 1
trap 'qm_wine_release; qm_stop_screen' EXIT
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
# Fonts with the metrics of Windows' own, as in the end-to-end tests.
for face in "MS Sans Serif" "Arial"; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Liberation Sans" /f >/dev/null 2>&1
done
qm_wine_hold  # one server from here to the end; the desktop settings count from its start

drv() { wine "$driver" "$@" 2>/dev/null | tr -d '\r'; }
source "$QM_WIN_BUILD/identity.sh"
MAIN=$QM_TITLE
(cd "$out/Quillmark" && exec wine quillmark.exe >/dev/null 2>&1) &
drv wait-window "$MAIN" >/dev/null
xdotool mousemove 700 600
drv type "The quick brown fox jumps over the lazy dog" 90 >/dev/null
for i in $(seq 40); do xdotool mousemove $((700 - 6 * i)) $((600 - 4 * i)); sleep 0.03; done
for _ in 1 2 3; do drv click 700 650 left >/dev/null; sleep 0.2; done
xdotool mousemove 900 700
drv activate "$MAIN" >/dev/null  # an active title bar, as the user sees it
sleep 1.5

rect=$(drv window-info "$MAIN" | sed -E 's/.* rect=([0-9-]+),([0-9-]+),([0-9-]+),([0-9-]+).*/\1 \2 \3 \4/')
read -r left top right bottom <<<"$rect"
import -window root "$out/screen.png"
convert "$out/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip \
  -define png:exclude-chunks=date,time docs/main-window.png
drv choose "$MAIN" File Exit >/dev/null
drv wait-gone "$MAIN" >/dev/null
echo "wrote docs/main-window.png ($((right - left))x$((bottom - top)))"
