#!/usr/bin/env bash
# Builds the program and runs it on the bundled demo disk images: the desktop
# program under a display, otherwise the command-line front end.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
source "$root/tools/setup.sh"
cmake --build "$root/build" --target demo_images
export ZORVANE_DISKS="$root/build/demo/lost-partitions.img:$root/build/demo/recovery-volumes.img"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The program reads language.ini and keeps Zorvane.ini in its current folder.
  cd "$root/build/src/shell"
  exec ./zorvane
fi

cli="$root/build/src/cli/zorvane-cli"
show() { echo; echo "== zorvane-cli $*"; "$cli" "$@"; }
echo "No display: the command-line front end on the demo disks."
show disks
show find-partitions 0
show volumes
show scan 1
show scan 2
show scan 3 --deep
echo
echo "Try: ZORVANE_DISKS=$ZORVANE_DISKS $cli --help"
