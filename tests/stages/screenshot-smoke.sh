#!/usr/bin/env bash
# The real program's window under Xvfb: place, title, readings that change between polls, the exit on a
# termination signal (in a menu and from a second copy's box too), the mode kept through a lost X connection
# and a SIGINT ignored from the start (tests/ui/screenshot-smoke.sh).
# Usage: screenshot-smoke.sh BUILD_DIR OUT_DIR
source "$(dirname "$0")/../../scripts/lib.sh"
ensure_packages xvfb x11-apps imagemagick xdotool x11-utils
exec bash "$ROOT/tests/ui/screenshot-smoke.sh" "$1" "$2/screenshot-smoke"
