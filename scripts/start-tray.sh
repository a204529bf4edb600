#!/usr/bin/env bash
# Runs the trayer system tray on the current display, in the foreground (start it in the background
# and stop it by its PID), on one edge of the screen:
#
#   scripts/start-tray.sh [top|bottom|left|right]
#
# On the top and bottom edges the icons sit at the right end, on the left and right edges at the top
# end. The strip is 32 pixels thick and reserves no room: the work area stays the whole screen.
set -euo pipefail
edge=${1:-top}
case "$edge" in
    top | bottom) align=right ;;
    left | right) align=left ;;
    *) echo "usage: $0 [top|bottom|left|right]" >&2; exit 2 ;;
esac
exec trayer --edge "$edge" --align "$align" --widthtype request --height 32 --SetDockType true \
    --transparent false
