#!/usr/bin/env bash
# The real program's window under Xvfb: place, title, readings that change between polls, the exit on a
# termination signal (tests/ui/screenshot-smoke.sh).
# Usage: screenshot-smoke.sh BUILD_DIR OUT_DIR
source "$(dirname "$0")/../../scripts/lib.sh"
ensure_packages xvfb x11-apps imagemagick xdotool x11-utils
exec bash "$ROOT/tests/ui/screenshot-smoke.sh" "$1" "$2/screenshot-smoke"
