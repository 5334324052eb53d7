#!/bin/sh
# Fails when a folder includes from a folder above it, or when a folder other than src/platform
# includes a POSIX or Windows header.  check-layering.sh SOURCE_DIR
cd "$1" || exit 1
status=0

# Each folder and the folders of src/ it may include besides its own, from the bottom up. The
# model is the lowest layer: plain C++ that includes nothing else of the program.
while read -r dir allowed; do
  [ -d "$dir" ] || continue
  for used in $(grep -rhoE '#include "[a-z]+/' "$dir" | sed 's/#include "//; s|/$||' | sort -u); do
    case " ${dir#src/} $allowed " in
      *" $used "*) ;;
      *)
        grep -rn "#include \"$used/" "$dir" >&2
        echo "$dir may not include $used/ (a folder above it)" >&2
        status=1
        ;;
    esac
  done
done <<EOF
src/model
src/state model
src/document model state
src/platform model state
src/help model state
src/link model state platform help
src/controls model state platform help
src/grid model state platform help controls
src/dialogs model state platform help link controls grid
src/print model state platform help link controls grid
src/service model state platform help link controls grid
src/app model state document platform help link controls grid dialogs print service
cli model state document platform help link controls grid dialogs print service
EOF

# System headers belong under src/platform.
dirs=""
for d in src/model src/state src/document src/link src/grid src/app src/dialogs src/print src/service cli; do
  [ -d "$d" ] && dirs="$dirs $d"
done
# shellcheck disable=SC2086
if grep -rnE '#include <((unistd|fcntl|termios|poll|pthread|dirent|windows|io)\.h|(sys|linux)/)' $dirs; then
  echo "these includes belong under src/platform" >&2
  status=1
fi
exit $status
