#!/usr/bin/env bash
# The portable suites and the Win32 layer cross-built with mingw-w64 and run under Wine.
# Usage: windows.sh BUILD_DIR OUT_DIR
exec bash "$(dirname "$0")/../../scripts/windows-tests.sh" "$1" "$2/mingw"
