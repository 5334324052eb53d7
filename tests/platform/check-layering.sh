#!/bin/sh
# Fails when a folder above src/platform includes a POSIX or Windows header.  check-layering.sh SOURCE_DIR
cd "$1" || exit 1
dirs=""
for d in src/model src/state src/link src/app src/dialogs src/print src/service cli; do
  [ -d "$d" ] && dirs="$dirs $d"
done
# shellcheck disable=SC2086
if grep -rnE '#include <((unistd|fcntl|termios|poll|pthread|dirent|windows|io)\.h|(sys|linux)/)' $dirs; then
  echo "these includes belong under src/platform" >&2
  exit 1
fi
