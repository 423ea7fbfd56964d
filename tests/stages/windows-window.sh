#!/usr/bin/env bash
# Zephyrine.exe's window under Wine in a virtual desktop: place, layout, readings, device-change answers, inked
# captions beside the Qt window's picture, configuration, Run value, the second copy's box
# (tests/ui/windows-window.sh). Builds the mingw tree with the Windows stage's options.
# Usage: windows-window.sh BUILD_DIR OUT_DIR
source "$(dirname "$0")/../../scripts/lib.sh"
ensure_packages cmake ninja-build mingw-w64 wine wine64 x11-apps x11-utils imagemagick xdotool "${WINE_DESKTOP_PACKAGES[@]}"
exec bash "$ROOT/tests/ui/windows-window.sh" "$1" "$2/mingw" "$2/windows-window"
