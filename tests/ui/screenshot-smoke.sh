#!/usr/bin/env bash
# The real program under Xvfb on the virtual supply: on a 1366 x 768 screen the window is 810 x 422 at
# (350, 180), titled "Lumenvale（设备已连接）", its readings change between polls, and a termination signal ends
# it the way the tray's exit does (the mode is saved). Leaves the screenshots in OUT_DIR.
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
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
    echo "screenshot-smoke: FAILED: $*"
    exit 1
}

DISPLAY_NUMBER=""
for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        DISPLAY_NUMBER=$n
        break
    fi
done
[ -n "$DISPLAY_NUMBER" ] || fail "no free display number"
Xvfb ":$DISPLAY_NUMBER" -screen 0 1366x768x24 -dpi 96 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 200); do
    xwininfo -root >/dev/null 2>&1 && break
    sleep 0.1
done
xwininfo -root >/dev/null 2>&1 || fail "Xvfb did not start"

cd "$WORK"
./Zephyrine --simulate --poll-interval 1000 >"$OUT/zephyrine.log" 2>&1 &
APP_PID=$!

WINDOW=""
for _ in $(seq 100); do
    WINDOW=$(xdotool search --onlyvisible --name '^Lumenvale' 2>/dev/null | head -n 1 || true)
    [ -n "$WINDOW" ] && break
    sleep 0.1
done
[ -n "$WINDOW" ] || fail "no window appeared"

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

cp "$OUT/second.png" "$OUT/screenshot.png"
echo "screenshot-smoke: passed; screenshots in $OUT"
