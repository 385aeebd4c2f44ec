#!/usr/bin/env bash
# Takes the README's pictures of the main window, docs/main-window.png, and
# of the History window, docs/history-window.png, from the real program under
# Wine in Xvfb at 96 dpi: a stat.dat with a few weeks of figures and a
# history.csv with some months of days, then a few seconds of typing,
# pointing and clicking so that the current run shows figures too. Builds
# the program first if needed.
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
# Five months of days before today: busy weekdays, quiet weekends, a week away.
for ago in $(seq 150 -1 1); do
  day=$(date -d "-$ago days" +%Y-%m-%d)
  echo "$day $(date -d "$day" +%u) $ago"
done | awk 'BEGIN { srand(7); print "date,keys_pressed,mouse_clicks,mouse_pixels,letters_typed,typing_seconds,other_keys_seconds,passed_seconds" }
  $3 >= 40 && $3 < 47 { next }
  { busy = $2 <= 5 ? 1 : 0.2; keys = int((9000 + rand() * 6000) * busy); letters = int(keys * 0.7)
    printf "%s,%d,%d,%d,%d,%.2f,%.2f,%d\n", $1, keys, int(keys / 9), int(keys * 140), letters, letters / 5.6, keys / 40, int(busy * 27000 + rand() * 3600) }' |
  sed 's/$/\r/' >"$out/Quillmark/history.csv"

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
HISTORY="$QM_PRODUCT history"
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
echo "wrote docs/main-window.png ($((right - left))x$((bottom - top)))"

# The History window over the last 30 days, pointing at the day three weeks ago.
drv choose "$MAIN" File "History..." >/dev/null
drv wait-window "$HISTORY" >/dev/null
origin=$(drv window-info "$HISTORY" | sed -E 's/.*origin=([-0-9]+),([-0-9]+).*/\1 \2/')
chart=$(drv controls "$HISTORY" | awk -F'\t' '$3 == "QuillmarkChart" { print $5; exit }' | tr ',' ' ')
read -r ox oy <<<"$origin"
read -r cl ct cr cb <<<"$chart"
drv move $((ox + cl + (cr - cl) * 9 / 30)) $((oy + (ct + cb) / 2)) >/dev/null
sleep 1.5  # the pointed-at bar and its line drawn
rect=$(drv window-info "$HISTORY" | sed -E 's/.* rect=([0-9-]+),([0-9-]+),([0-9-]+),([0-9-]+).*/\1 \2 \3 \4/')
read -r left top right bottom <<<"$rect"
import -window root "$out/screen-history.png"
convert "$out/screen-history.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage -strip \
  -define png:exclude-chunks=date,time docs/history-window.png
echo "wrote docs/history-window.png ($((right - left))x$((bottom - top)))"
drv choose "$MAIN" File Exit >/dev/null
drv wait-gone "$MAIN" >/dev/null
