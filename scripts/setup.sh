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
          clang libclang-rt-14-dev llvm libbenchmark-dev nsis zip unzip python3)
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# A mirror caught mid-sync fails an index for a while (seen: the security
# suite's i386 index, for days), and the install then finds the amd64 and
# i386 halves of a library at different versions. Each try installs as usual
# and, failing that, from the release itself without its later updates (the
# two halves then match); only when both fail does it wait and try again.
if [ "${#missing[@]}" -gt 0 ] || [ "$need_i386" -eq 1 ]; then
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  apt_get() { $SUDO apt-get -o Acquire::Retries=3 "$@"; }
  for try in 1 2 3 4; do
    echo "+ apt-get update, install ${missing[*]:-(nothing)} (try $try of 4)" >&2
    apt_get update -q || echo "setup: apt-get update failed; installing from the indexes it fetched" >&2
    if [ "${#missing[@]}" -eq 0 ] ||
       apt_get install -y -q --no-install-recommends "${missing[@]}"; then
      break
    fi
    echo "setup: trying the install from $release alone, without its later updates" >&2
    if apt_get install -y -q --no-install-recommends -t "$release" "${missing[@]}"; then
      echo "setup: warning: installed from $release without its later updates (an index failed)" >&2
      break
    fi
    if [ "$try" -eq 4 ]; then echo "setup: FAILED: apt-get install ${missing[*]}" >&2; exit 1; fi
    echo "setup: apt failed (a mirror mid-sync?); trying again in $((try * 30)) s" >&2
    sleep $((try * 30))
  done
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
