#!/usr/bin/env bash
# Installs the Debian 12 packages that MV53 needs: with --run those for building and running
# it, without an argument those for the tests as well.
# Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

# ./run: what building and running MV53, mv53 and the radio simulator need.
run_packages=(
  g++ cmake make pkgconf
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-qpa-plugins libgl-dev libjpeg-dev
  nlohmann-json3-dev fonts-liberation2
)
# ./test: the test frameworks, the tools the tests check the program's output with, a print
# server with a PDF printer, the sanitizer and fuzzing compiler, and the Windows cross-build.
test_packages=(
  libgtest-dev libbenchmark-dev srecord binutils
  xvfb xauth poppler-utils imagemagick locales
  cups cups-client printer-driver-cups-pdf
  clang libclang-rt-14-dev
  mingw-w64 wine wine64
)

packages=("${run_packages[@]}")
case "${1:-}" in
  --run) ;;
  "") packages+=("${test_packages[@]}") ;;
  *) echo "usage: install-deps.sh [--run]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = "--run" ] && exit 0

# A locale with "," as decimal separator, so that tests can prove number texts ignore it.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ -w /etc/locale.gen ]; then
    sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null 2>&1 || true
  fi
fi
