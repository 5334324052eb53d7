#!/bin/sh
# Fails when a folder above src/platform includes a POSIX or Windows header.  check-layering.sh SOURCE_DIR
cd "$1" || exit 1
# The model sits below src/platform (plain C++, built for every system); its data-file writer keeps
# a file's owner and mode through calls that it compiles only where the system has them.
dirs=""
for d in src/state src/document src/link src/grid src/app src/dialogs src/print src/service cli; do
  [ -d "$d" ] && dirs="$dirs $d"
done
# shellcheck disable=SC2086
if grep -rnE '#include <((unistd|fcntl|termios|poll|pthread|dirent|windows|io)\.h|(sys|linux)/)' $dirs; then
  echo "these includes belong under src/platform" >&2
  exit 1
fi
