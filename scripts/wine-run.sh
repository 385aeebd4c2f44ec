#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's throw-away prefix.
# WINEPREFIX may be given; otherwise the prefix lives in build/wineprefix-<arch>.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$here/scripts/wine-env.sh"
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix-$QM_WINE_ARCH}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install dialogs in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=d}
# Wine takes the Windows locale from the C library's; QM_WINE_LANG picks another.
unset LC_ALL LC_CTYPE LC_NUMERIC LC_TIME LC_MESSAGES LANGUAGE
export LANG=${QM_WINE_LANG:-en_US.UTF-8}

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 || { echo "wine-run: wineboot failed for $WINEPREFIX" >&2; exit 1; }
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
