#!/usr/bin/env bash
# Fails when an #include crosses the program's layers. Each folder may
# include its own headers and those of the folders below it:
#
#   core      core
#   input     core, input
#   app       core, input, app
#   ui        core, input, app, ui (not ui/win32)
#   win32     core, input, app, win32               the Win32 side
#   ui/win32  all of the above, ui/win32, ui/res    the Win32 side
#
# Only the Win32 side (and the resources, ui/res) may include a system
# header with ".h" (windows.h and the like); the portable folders use the
# C++ standard library's headers only, which have no extension. Prints one
# line per crossing and "layers: N crossings".
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

allowed() {  # allowed FOLDER: the folders FOLDER may include from
  case "$1" in
    core) echo "core" ;;
    input) echo "core input" ;;
    app) echo "core input app" ;;
    ui) echo "core input app ui" ;;
    win32) echo "core input app win32" ;;
    ui/win32) echo "core input app ui win32 ui/win32 ui/res" ;;
    ui/res) echo "ui/res core" ;;
  esac
}
layer_of() {  # the layer a path belongs to: its folder, ui/win32 and ui/res apart from ui
  case "$1" in
    ui/win32/*) echo ui/win32 ;;
    ui/res/*) echo ui/res ;;
    *) echo "${1%%/*}" ;;
  esac
}
win32_side() { case "$1" in win32 | ui/win32 | ui/res) return 0 ;; *) return 1 ;; esac; }

crossings=0
while IFS= read -r file; do
  from=$(layer_of "$file")
  may=" $(allowed "$from") "
  while IFS=: read -r line text; do
    if [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^\"]+)\" ]]; then
      target=${BASH_REMATCH[1]}
      to=$(layer_of "$target")
      if [[ "$may" != *" $to "* ]]; then
        echo "$file:$line: $from includes $target ($from may include only: $(allowed "$from"))"
        crossings=$((crossings + 1))
      fi
    elif [[ "$text" =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<([^\>]+\.h)\> ]]; then
      if ! win32_side "$from"; then
        echo "$file:$line: $from includes <${BASH_REMATCH[1]}> (only the Win32 side includes system headers)"
        crossings=$((crossings + 1))
      fi
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(find core input app ui win32 -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.in' -o -name '*.rc' \) | sort)

echo "layers: $crossings crossings"
[ "$crossings" -eq 0 ]
