#!/usr/bin/env bash
# Builds the program and runs it on the bundled demo disk images.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
source "$root/tools/setup.sh"
cmake --build "$root/build" --target demo_images
export ZORVANE_DISKS="$root/build/demo/lost-partitions.img:$root/build/demo/recovery-volumes.img"
cli="$root/build/src/cli/zorvane-cli"
echo "== zorvane-cli disks"
"$cli" disks
echo
echo "== zorvane-cli find-partitions 0"
"$cli" find-partitions 0
echo
echo "The demo disk is $ZORVANE_DISKS; try: ZORVANE_DISKS=$ZORVANE_DISKS $cli --help"
