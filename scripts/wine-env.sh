# Sourced by every script that runs Windows programs under Wine. It picks the
# kind of Wine this machine can run and sets up the environment for it:
#
#   QM_WINE_ARCH   win32 where Linux runs 32-bit programs (Wine's 32-bit
#                  loader works), win64 where it does not (a kernel without
#                  32-bit emulation): Wine then runs 64-bit Windows programs
#                  only, and the tests use the 64-bit build of the same sources.
#   QM_WIN_PRESET  the CMake preset whose programs run here: windows or windows64
#   QM_WIN_BUILD   its build folder
#
# In win64 mode the plain `wine` command (and wineboot, winepath, reg, which
# go through `wine-stable`) would try the 32-bit loader first and fail, so a
# folder with two small stand-ins that start the 64-bit loader goes first on
# PATH. QM_WINE_ARCH may be set beforehand to force one mode.
qm_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ -z "${QM_WINE_ARCH:-}" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    QM_WINE_ARCH=win32
  elif [ -x /usr/lib/wine/wine64 ]; then
    QM_WINE_ARCH=win64
  else
    QM_WINE_ARCH=win32  # let the first wine command say what is wrong
  fi
fi
export QM_WINE_ARCH WINEARCH=$QM_WINE_ARCH

if [ "$QM_WINE_ARCH" = win64 ]; then
  export QM_WIN_PRESET=windows64
  qm_shim=$qm_root/build/wine-shim
  if [ ! -x "$qm_shim/wine-stable" ]; then
    mkdir -p "$qm_shim"
    for name in wine wine-stable; do
      printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$qm_shim/$name.new"
      chmod +x "$qm_shim/$name.new"
      mv "$qm_shim/$name.new" "$qm_shim/$name"
    done
  fi
  case ":$PATH:" in *":$qm_shim:"*) ;; *) export PATH="$qm_shim:$PATH" ;; esac
  export WINELOADER=/usr/lib/wine/wine64
else
  export QM_WIN_PRESET=windows
fi
export QM_WIN_BUILD=$qm_root/build/$QM_WIN_PRESET

# --- one wine server for a whole stage -----------------------------------------
# A prefix's wineserver ends a few seconds after its last program, and a
# program that starts in that moment fails inside Wine ("wine client error:0:
# recvmsg: Connection reset by peer") before it runs a line of its own. So a
# stage that runs many programs one after another holds one persistent server
# in its prefix from before its first program to after its last. Every
# function here acts on $WINEPREFIX only, never on another prefix's server.

# qm_wine_boot: makes $WINEPREFIX once (callers may race: a lock decides) and
# waits for the server that made it to end.
qm_wine_boot() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >/dev/null 2>&1 || { echo "wine: wineboot failed for $WINEPREFIX" >&2; exit 1; }
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
}

# qm_wine_server_pid: the wineserver of $WINEPREFIX, if one runs (it works in
# a folder named after the prefix's device and inode).
qm_wine_server_pid() {
  local name p
  [ -d "$WINEPREFIX" ] || return 1
  name=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for p in $(pgrep '^wineserver'); do
    [[ "$(readlink "/proc/$p/cwd" 2>/dev/null)" == */"$name" ]] && { echo "$p"; return 0; }
  done
  return 1
}

# qm_wine_hold: from now on $WINEPREFIX has one server that stays until
# qm_wine_release, whatever ends in between. A server already running there
# (one that ends by itself, or one left by an interrupted run) is ended first.
qm_wine_hold() {
  qm_wine_boot || return 1
  qm_wine_release
  wineserver -p >/dev/null 2>&1 || true
  local _
  for _ in $(seq 100); do qm_wine_server_pid >/dev/null && return 0; sleep 0.05; done
  echo "wine: no wineserver could be started for $WINEPREFIX" >&2
  return 1
}

# qm_wine_release: ends the server of $WINEPREFIX and every program in it, and
# waits until it is gone.
qm_wine_release() {
  # Fails when no server runs; callers may run under set -e.
  wineserver -k >/dev/null 2>&1 || true
  local _
  for _ in $(seq 100); do qm_wine_server_pid >/dev/null || return 0; sleep 0.1; done
  echo "wine: the wineserver of $WINEPREFIX does not end" >&2
  return 1
}

# What Wine prints when it fails itself, before or around the program it was
# to run (not what the program says): a test that saw one of these failed
# because Wine did, and says so. ("wine: could not open working directory"
# is no failure: Wine starts the program in C:\windows instead.)
QM_WINE_FAULT='wine client error|wine: could not (load|exec)|wine: failed to (start|initiali[sz]e|load)|wineserver: (failed|cannot|could not)'

# qm_wine_faults FILE [FROM_BYTE]: the lines of FILE (from that byte on) that
# say Wine itself failed; fails when there are none.
qm_wine_faults() {
  [ -f "$1" ] || return 1
  tail -c +"$(( ${2:-0} + 1 ))" "$1" | grep -a -E "$QM_WINE_FAULT" | sort -u | head -n 3 | grep .
}
