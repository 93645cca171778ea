#!/bin/sh
# Regenerates src/resources/images/ and src/resources/resources.qrc.
# Needs Qt 6 (Gui), cmake, ninja, ImageMagick and the fonts named in README.md.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
resources=$(cd "$here/../../src/resources" && pwd)
build=${BUILD_DIR:-$here/../../build-images-tool}
work="$build/work"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C "$build" -j2 draw_images >/dev/null
rm -rf "$work"
"$build/draw_images" "$resources" "$work"

# The animation: every frame whole (no frame optimisation, which would depend
# on ImageMagick's version), looping, 70 ms a frame, clear pixels transparent.
convert -delay 7 -loop 0 -dispose Background "$work"/frame_*.png -strip \
  "$resources/images/recovery/ani.gif"
# The window icon: the sizes in the generator's order; a pixmap loads the first.
convert "$work"/icon_*.png -strip "$resources/images/top.ico"
