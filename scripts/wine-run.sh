#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's throw-away prefix.
# WINEPREFIX may be given; otherwise the prefix lives in build/wineprefix-<arch>.
# When Wine itself fails (rather than the program), the last line says so and
# the exit code is 125: such a run is no verdict on the program.
#
#   wine-run.sh PROGRAM [ARGS...]   runs it
#   wine-run.sh --hold              one server for this prefix until --release
#   wine-run.sh --release           ends that server and everything in the prefix
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$here/scripts/wine-env.sh"
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix-$QM_WINE_ARCH}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko install dialogs in a fresh prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=d}
# Wine takes the Windows locale from the C library's; QM_WINE_LANG picks another.
unset LC_ALL LC_CTYPE LC_NUMERIC LC_TIME LC_MESSAGES LANGUAGE
export LANG=${QM_WINE_LANG:-en_US.UTF-8}

case "${1:-}" in
  --hold) qm_wine_hold && echo "wine-run: one wineserver holds $WINEPREFIX"; exit ;;
  --release) qm_wine_release && echo "wine-run: the wineserver of $WINEPREFIX has ended"; exit ;;
esac

qm_wine_boot || exit 125
# Wine's own messages are kept aside while it runs, to tell a failure of Wine
# from one of the program, and follow the program's output. (A pipe would
# stay open as long as the Wine processes that inherit it.)
errors=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX")
trap 'rm -f "$errors"' EXIT
wine "$@" 2>"$errors"
status=$?
cat "$errors" >&2
if faults=$(qm_wine_faults "$errors"); then
  echo "wine-run: Wine itself failed while running $(basename "$1") in $WINEPREFIX (exit code $status), so this run says nothing about the program:" >&2
  sed 's/^/wine-run:   /' <<<"$faults" >&2
  exit 125
fi
exit "$status"
