#!/usr/bin/env bash
# Zephyrine.exe under Wine in an XEmbed tray, driven as a user would; the same session and the same frames as
# tray-session.sh (tests/ui/windows-session.sh). Builds the Windows tree as the windows stage does.
# Usage: windows-session.sh BUILD_DIR OUT_DIR
source "$(dirname "$0")/../../scripts/lib.sh"
ensure_packages cmake ninja-build googletest mingw-w64 wine wine64 xvfb trayer xdotool x11-utils imagemagick \
    fonts-wqy-microhei

START=$SECONDS
configure_and_build "${2:?usage: $0 BUILD_DIR OUT_DIR}/mingw" "${MINGW_OPTIONS[@]}" || {
    echo "windows-session: FAILED: the Windows build"
    exit 1
}
echo "windows-session: build $((SECONDS - START)) s"
exec bash "$ROOT/tests/ui/windows-session.sh" "$2/mingw" "$2/windows-session"
