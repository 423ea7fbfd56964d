#!/usr/bin/env bash
# The real program under Xvfb on the virtual supply: on a 1366 x 768 screen the window is 810 x 422 at
# (350, 180), titled "Lumenvale（设备已连接）", its readings change between polls, and a termination signal ends
# it the way the tray's exit does (the mode is saved). Then the mode outlives a lost X connection, a SIGINT
# ignored at the start stays ignored, and a termination signal ends a second copy's box and a program in its
# menu. Leaves the screenshots in OUT_DIR.
#
# Usage: tests/ui/screenshot-smoke.sh BUILD_DIR [OUT_DIR]
# Needs: xvfb (Xvfb), x11-apps (xwd), imagemagick (convert, compare), xdotool, x11-utils (xwininfo).
set -euo pipefail

BUILD=$(cd "${1:?usage: $0 BUILD_DIR [OUT_DIR]}" && pwd)
OUT=${2:-$BUILD/screenshot-smoke}
EXE="$BUILD/src/ui/qt/Zephyrine"
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)

for tool in Xvfb xwd convert compare xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "screenshot-smoke: $tool is missing"; exit 1; }
done
[ -x "$EXE" ] || { echo "screenshot-smoke: $EXE was not built"; exit 1; }

# The program keeps its configuration beside itself, its instance lock in the runtime directory and its
# autostart entry in the config home: a copy in a directory of its own touches neither the build tree nor a
# copy the user runs, nor the user's log-on.
WORK=$(mktemp -d)
export XDG_RUNTIME_DIR="$WORK/runtime" XDG_CONFIG_HOME="$WORK/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp "$EXE" "$BUILD/src/ui/qt/logo.png" "$WORK/"

XVFB_PID=""
APP_PID=""
SECOND_PID=""
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$SECOND_PID" ] && kill "$SECOND_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "screenshot-smoke: FAILED: $*"
    exit 1
}

start_xvfb() {
    local n
    DISPLAY_NUMBER=""
    for n in $(seq 91 140); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            DISPLAY_NUMBER=$n
            break
        fi
    done
    [ -n "$DISPLAY_NUMBER" ] || fail "no free display number"
    Xvfb ":$DISPLAY_NUMBER" -screen 0 1366x768x24 -dpi 96 -nolisten tcp >>"$OUT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$DISPLAY_NUMBER"
    for _ in $(seq 200); do
        xwininfo -root >/dev/null 2>&1 && break
        sleep 0.1
    done
    xwininfo -root >/dev/null 2>&1 || fail "Xvfb did not start"
}

# wait_for_window NAME_PATTERN [PID]: WINDOW, the first shown window whose title matches (of that process).
wait_for_window() {
    local of=()
    [ -z "${2:-}" ] || of=(--pid "$2")
    WINDOW=""
    for _ in $(seq 100); do
        WINDOW=$(xdotool search --onlyvisible "${of[@]}" --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$WINDOW" ] && return 0
        sleep 0.1
    done
    return 1
}

# wait_for_exit PID SECONDS: true once the process has ended, its status in EXIT_STATUS.
wait_for_exit() {
    for _ in $(seq $(($2 * 10))); do
        if ! kill -0 "$1" 2>/dev/null; then
            EXIT_STATUS=0
            wait "$1" || EXIT_STATUS=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

saved_mode() { sed -n 's/^Control Mode=\([0-9]*\).*/\1/p' "$WORK/HalcyraConfig@Ostrel.ini"; }

start_xvfb
cd "$WORK"
./Zephyrine --simulate --poll-interval 1000 >"$OUT/zephyrine.log" 2>&1 &
APP_PID=$!
wait_for_window '^Lumenvale' || fail "no window appeared"

# The placement timer moves the window once, right after it is shown.
geometry() {
    xwininfo -id "$WINDOW" | awk -F: '/Absolute upper-left X/ {x=$2} /Absolute upper-left Y/ {y=$2}
                                      /Width/ {w=$2} /Height/ {h=$2} END {gsub(/ /,"",x); gsub(/ /,"",y);
                                      gsub(/ /,"",w); gsub(/ /,"",h); print w "x" h "+" x "+" y}'
}
for _ in $(seq 20); do
    [ "$(geometry)" = "810x422+350+180" ] && break
    sleep 0.1
done
[ "$(geometry)" = "810x422+350+180" ] || fail "window at $(geometry), wanted 810x422+350+180"
echo "window: $(geometry)"

TITLE=$(xdotool getwindowname "$WINDOW")
[ "$TITLE" = "Lumenvale（设备已连接）" ] || fail "title is '$TITLE'"
echo "title: $TITLE"

shoot() {
    xwd -root -silent | convert xwd:- "$OUT/$1-screen.png"
    convert "$OUT/$1-screen.png" -crop 810x422+350+180 +repage "$OUT/$1.png"
}
# The first poll comes one period after the window appears; the seeded model's noise moves every reading.
sleep 1.5
shoot first
sleep 2.2
shoot second
CHANGED=$(compare -metric AE "$OUT/first.png" "$OUT/second.png" "$OUT/difference.png" 2>&1 || true)
[ "${CHANGED%% *}" -gt 0 ] 2>/dev/null || fail "the readings did not change between two polls ($CHANGED)"
echo "pixels changed between polls: $CHANGED"

kill -TERM "$APP_PID"
STATUS=0
wait "$APP_PID" || STATUS=$?
APP_PID=""
[ "$STATUS" -eq 0 ] || fail "the program ended with status $STATUS after SIGTERM"
grep -q '^Control Mode=0' "$WORK/HalcyraConfig@Ostrel.ini" || fail "the mode was not saved at exit"

# Clicks a control inside its rectangle on the 804 x 394 reference client, which the window scales to its
# 810 x 422 client at (350, 180).
click_control() { # LEFT TOP
    xdotool mousemove $((350 + $1 * 810 / 804 + 12)) $((180 + $2 * 422 / 394 + 10)) click 1
}
placed() { [ "$(geometry)" = "810x422+350+180" ]; }
wait_until_placed() {
    for _ in $(seq 50); do
        placed && return 0
        sleep 0.1
    done
    return 1
}

# A lost X connection makes Qt exit at once, without the window's end: the mode must have been written when
# the button changed it.
./Zephyrine --simulate --poll-interval 1000 >>"$OUT/zephyrine.log" 2>&1 &
APP_PID=$!
wait_for_window '^Lumenvale' || fail "no window appeared for the second start"
wait_until_placed || fail "the second start's window is not placed"
click_control 590 53 # 1064, TempControl
for _ in $(seq 50); do
    [ "$(saved_mode)" = 1 ] && break
    sleep 0.1
done
[ "$(saved_mode)" = 1 ] || fail "the mode was not saved when TempControl was pressed"
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=""
wait_for_exit "$APP_PID" 10 || fail "the program outlived its X server"
APP_PID=""
[ "$(saved_mode)" = 1 ] || fail "Control Mode is '$(saved_mode)' after the X server died, wanted 1"
echo "mode kept through a lost X connection (the program ended with status $EXIT_STATUS)"

# Started with SIGINT ignored, as a background job or under nohup: it stays ignored. A termination signal
# while a popup menu holds the thread, and one to a second copy that shows its box, end both.
start_xvfb
(trap '' INT && exec ./Zephyrine --simulate --poll-interval 1000) >>"$OUT/zephyrine.log" 2>&1 &
APP_PID=$!
wait_for_window '^Lumenvale' || fail "no window appeared for the third start"
wait_until_placed || fail "the third start's window is not placed"
kill -INT "$APP_PID"
sleep 1
kill -0 "$APP_PID" 2>/dev/null || fail "SIGINT ended the program that was started with it ignored"
echo "SIGINT ignored from the start stays ignored"

./Zephyrine --simulate >>"$OUT/zephyrine.log" 2>&1 &
SECOND_PID=$!
wait_for_window '^Zephyrine$' "$SECOND_PID" || fail "the second copy showed no box"
kill -TERM "$SECOND_PID"
wait_for_exit "$SECOND_PID" 5 || { kill -KILL "$SECOND_PID"; fail "SIGTERM did not end the second copy's box"; }
SECOND_PID=""
[ "$EXIT_STATUS" -eq 0 ] || fail "the second copy ended with status $EXIT_STATUS after SIGTERM"
echo "SIGTERM closes the second copy's box and ends it"

shown_windows() { xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l; }
before=$(shown_windows)
# The client area's context menu (the system menu's items), right-clicked on the bottom strip.
xdotool mousemove 365 590 click 3
for _ in $(seq 50); do
    [ "$(shown_windows)" -gt "$before" ] && break
    sleep 0.1
done
[ "$(shown_windows)" -gt "$before" ] || fail "no context menu opened"
xwd -root -silent | convert xwd:- "$OUT/menu-screen.png"
kill -TERM "$APP_PID"
wait_for_exit "$APP_PID" 5 || fail "SIGTERM did not end the program while its menu was open"
APP_PID=""
[ "$EXIT_STATUS" -eq 0 ] || fail "the program ended with status $EXIT_STATUS after SIGTERM in its menu"
[ "$(saved_mode)" = 1 ] || fail "Control Mode is '$(saved_mode)' after SIGTERM in the menu, wanted 1"
echo "SIGTERM closes an open menu and ends the program; the mode is kept"

cp "$OUT/second.png" "$OUT/screenshot.png"
echo "screenshot-smoke: passed; screenshots in $OUT"
