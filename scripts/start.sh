#!/usr/bin/env bash
# Sets up, builds the Windows program and runs its unit tests under Wine.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
