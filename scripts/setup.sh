#!/usr/bin/env bash
# Installs what building and testing Quillmark needs on Debian 12: the native
# toolchain with GoogleTest and Google Benchmark, clang with libFuzzer and the
# sanitizers, NSIS and zip for the release, the MinGW-w64 cross compiler for 32-bit Windows,
# Wine (its 32-bit part, and its 64-bit part with the 64-bit cross compiler
# for machines whose kernel cannot run 32-bit programs) and the X tools the end-to-end tests use.
# Safe to run again: it installs only what is missing.
set -euo pipefail

run() {
  echo "+ $*" >&2
  "$@" || { echo "setup: FAILED: $*" >&2; exit 1; }
}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "setup: needs root (or sudo) to install packages" >&2; exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive

need_i386=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  run $SUDO dpkg --add-architecture i386
  need_i386=1
fi

packages=(cmake g++ make googletest libgtest-dev libgmock-dev
          g++-mingw-w64-i686 mingw-w64-i686-dev g++-mingw-w64-x86-64 mingw-w64-x86-64-dev
          wine wine32:i386 wine64 xvfb xdotool imagemagick x11-utils locales fonts-wine fonts-liberation
          clang libclang-rt-14-dev llvm libbenchmark-dev nsis zip unzip)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ] || [ "$need_i386" -eq 1 ]; then
  run $SUDO apt-get update -q
fi
if [ "${#missing[@]}" -gt 0 ]; then
  run $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine names Unix files in the C library's character set: without a UTF-8
# locale, file names outside ASCII cannot be created. The tests also run the
# program under a comma-decimal locale.
for loc in en_US de_DE; do
  if ! locale -a 2>/dev/null | grep -qix "$loc.utf-\?8"; then
    if ! grep -q "^$loc.UTF-8 UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "$loc.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
    fi
    regen=1
  fi
done
if [ "${regen:-0}" = 1 ]; then run $SUDO locale-gen; fi

for tool in cmake g++ clang++ makensis zip i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix wine Xvfb xdotool import; do
  command -v "$tool" >/dev/null 2>&1 || { echo "setup: $tool still missing after install" >&2; exit 1; }
done
echo "setup: all tools present"
