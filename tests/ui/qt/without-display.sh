#!/usr/bin/env bash
# The window program's command line answered with no display at all: help, version, and a refused option each
# before Qt starts (Qt would abort without a display).
# Usage: without-display.sh ZEPHYRINE VERSION
set -u
EXE=$1
VERSION=$2
failures=0
expect() { # expect NAME EXPECTED_STATUS STDOUT_PATTERN STDERR_LINES ARGS... (an empty pattern: no output)
    local name=$1 status=$2 pattern=$3 lines=$4 out err got
    shift 4
    out=$(mktemp)
    err=$(mktemp)
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$EXE" "$@" >"$out" 2>"$err"
    got=$?
    if [ "$got" -eq "$status" ] && { if [ -z "$pattern" ]; then [ ! -s "$out" ]; else grep -qE "$pattern" "$out"; fi; } &&
        [ "$(wc -l <"$err")" -eq "$lines" ]; then
        echo "ok: $name"
    else
        echo "FAILED: $name: exit $got (want $status)"; cat "$out" "$err"
        failures=$((failures + 1))
    fi
    rm -f "$out" "$err"
}
expect "--version" 0 "^Zephyrine $VERSION\$" 0 --version
expect "--help" 0 "^Usage: Zephyrine " 0 --help
expect "-platform offscreen --help" 0 "^Usage: Zephyrine " 0 -platform offscreen --help
expect "--bogus: one line, exit 2" 2 "" 1 --bogus
expect "bad interval: one line, exit 2" 2 "" 1 --poll-interval 5
[ "$failures" -eq 0 ]
