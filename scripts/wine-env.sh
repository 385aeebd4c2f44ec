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
