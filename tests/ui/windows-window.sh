#!/usr/bin/env bash
# Zephyrine.exe, the native Win32 window, under Wine in a virtual desktop on Xvfb: it imports only DLLs that
# Windows brings; run on the virtual supply from a directory whose name has a blank, its window stands at
# (350, 180), 810 x 422, every control where the layout puts it on the client area it really has, the readings
# change between polls, every device-change notice is answered with TRUE and every caption has ink; the
# configuration file lies beside the .exe and, a demo, it writes no Run value; a second copy shows the
# "already running" box and ends, the first running on. The window's picture is compared with the Qt window's,
# as a figure and side by side in OUT_DIR.
#
# Usage: tests/ui/windows-window.sh NATIVE_BUILD_DIR MINGW_BUILD_DIR [OUT_DIR]
# NATIVE_BUILD_DIR holds the Qt program, src/ui/qt/Zephyrine; MINGW_BUILD_DIR is configured and built here with
# the Windows stage's options. Ends with "N passed, M failed" and exits non-zero on any failure.
# Needs: mingw-w64, wine, xvfb (Xvfb), x11-apps (xwd), x11-utils (xwininfo), imagemagick, xdotool.
source "$(dirname "$0")/../../scripts/lib.sh"

START=$SECONDS
NATIVE=$(cd "${1:?usage: $0 NATIVE_BUILD_DIR MINGW_BUILD_DIR [OUT_DIR]}" && pwd)
BUILD=${2:?usage: $0 NATIVE_BUILD_DIR MINGW_BUILD_DIR [OUT_DIR]}
OUT=${3:-$BUILD/windows-window}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
for tool in wine wineserver winepath Xvfb xwd xwininfo convert compare xdotool x86_64-w64-mingw32-objdump; do
    command -v "$tool" >/dev/null || { echo "windows-window: $tool is missing"; exit 1; }
done

TITLE="Lumenvale（设备已连接）"
PLACED="window 350 180 1160 602" # the probe's outer rectangle: 810 x 422 at (350, 180)
QT_EXE="$NATIVE/src/ui/qt/Zephyrine"

passed=0
failed=0
# check NAME STATUS [DETAIL]: counts and reports one check; STATUS 0 passes.
check() {
    if [ "$2" -eq 0 ]; then
        passed=$((passed + 1))
        echo "check: $1: ok${3:+ ($3)}"
    else
        failed=$((failed + 1))
        echo "check: $1: FAILED${3:+: $3}"
    fi
}
# wait_for SECONDS COMMAND...: true once the command succeeds, false when the time runs out.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" 2>/dev/null; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

echo "--- build ($BUILD)"
build_start=$SECONDS
if ! configure_and_build "$BUILD" "${MINGW_OPTIONS[@]}"; then
    echo "--- build FAILED"
    echo "0 passed, 1 failed"
    exit 1
fi
BUILD=$(cd "$BUILD" && pwd)
build_seconds=$((SECONDS - build_start))
checks_start=$SECONDS

EXE="$BUILD/src/ui/win32/Zephyrine.exe"
status=0
foreign=$(foreign_dlls "$EXE" | tr '\n' ' ') || status=1
[ -z "$foreign" ] || status=1
check "Zephyrine.exe imports only system DLLs" "$status" \
    "$(imported_dlls "$EXE" 2>&1 | tr '\n' ' ')${foreign:+; not from Windows: $foreign}"

# A fresh prefix, the program's copy in a directory whose name has a blank and
# the Qt program's copy: each keeps its configuration beside itself.
RUN=$(mktemp -d /tmp/zephyrine-window.XXXXXX)
APP_DIR="$RUN/Zephyrine app"
mkdir -p "$APP_DIR" "$RUN/bin" "$RUN/prefix" "$RUN/qt/config"
mkdir -m 700 "$RUN/qt/runtime"
cp "$EXE" "$BUILD/src/ui/win32/logo.png" "$APP_DIR/"
cp "$BUILD/tests/win32/zephyrine_window_probe.exe" "$RUN/bin/"

XVFB_PIDS=()
QT_PID=""
WINE_DISPLAY=""
# Without LANG=C.UTF-8 Wine mangles the title's characters on the probe's command line.
in_wine() {
    env -u LC_ALL -u WAYLAND_DISPLAY -u DISPLAY ${WINE_DISPLAY:+DISPLAY="$WINE_DISPLAY"} HOME="$RUN" \
        WINEPREFIX="$RUN/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 "$@"
}
cleanup() {
    in_wine wineserver -k 2>/dev/null || true
    for pid in "$QT_PID" "${XVFB_PIDS[@]}"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$RUN"
}
trap cleanup EXIT

# start_xvfb NAME: an Xvfb of the screen the window is placed for, on a display it picks itself; the display
# in $DISPLAY_OF.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1366x768x24 -dpi 96 -nolisten tcp 3>"$RUN/$1.display" >"$OUT/xvfb-$1.log" 2>&1 &
    XVFB_PIDS+=($!)
    wait_for 20 grep -q . "$RUN/$1.display" || { echo "windows-window: Xvfb did not start"; exit 1; }
    DISPLAY_OF=":$(cat "$RUN/$1.display")"
}

# The Qt window starts on a screen of its own while Wine boots.
start_xvfb qt
QT_DISPLAY=$DISPLAY_OF
if [ -x "$QT_EXE" ]; then
    cp "$QT_EXE" "$NATIVE/src/ui/qt/logo.png" "$RUN/qt/"
    (cd "$RUN/qt" && exec env -u DBUS_SESSION_BUS_ADDRESS DISPLAY="$QT_DISPLAY" XDG_RUNTIME_DIR="$RUN/qt/runtime" \
        XDG_CONFIG_HOME="$RUN/qt/config" ./Zephyrine --simulate --poll-interval 1000) >"$OUT/qt.log" 2>&1 &
    QT_PID=$!
fi

echo "--- wineboot"
boot_start=$SECONDS
# The virtual desktop that boot_wine_desktop starts needs its display already.
start_xvfb wine
WINE_DISPLAY=$DISPLAY_OF
boot_wine_desktop
boot_seconds=$((SECONDS - boot_start))
probe() { # probe TITLE MODE: the probe's output without Windows line ends, and its status
    in_wine wine "$RUN/bin/zephyrine_window_probe.exe" "$@" | tr -d '\r'
}
start_program() { # in the background: a subshell of its own, whose directory it changes
    cd "$APP_DIR" && in_wine wine Zephyrine.exe --simulate --poll-interval 1000
}

echo "--- the window"
start_program >"$OUT/zephyrine.log" 2>&1 &
APP_PID=$!
# The first window also starts the desktop; the placement timer moves it once, right after it is shown.
LAYOUT=""
status=1
placed() {
    status=0
    LAYOUT=$(probe "$TITLE" layout) || status=$?
    [ "$(head -n 1 <<<"$LAYOUT")" = "$PLACED" ]
}
wait_for 30 placed || status=1
sed 's/^/    /' <<<"$LAYOUT"
check "\"$TITLE\" at (350, 180), 810 x 422, every control where the layout puts it" "$status"
# The client area on the screen: Wine's caption is shorter than Windows', so it is not the layout's 804 x 394.
read -r CLIENT_LEFT CLIENT_TOP CLIENT_RIGHT CLIENT_BOTTOM < <(sed -n 's/^client //p' <<<"$LAYOUT") || true
CLIENT_WIDTH=$((${CLIENT_RIGHT:-0} - ${CLIENT_LEFT:-0}))
CLIENT_HEIGHT=$((${CLIENT_BOTTOM:-0} - ${CLIENT_TOP:-0}))

# The first poll comes one period after the window appears; the seeded model's noise moves every reading.
FIRST=$(probe "$TITLE" readings) || true
sleep 2.5
SECOND=$(probe "$TITLE" readings) || true
echo "    $FIRST"
echo "    $SECOND"
status=0
[ "$(wc -w <<<"$FIRST")" -eq 11 ] && [ "$(wc -w <<<"$SECOND")" -eq 11 ] && [ "$FIRST" != "$SECOND" ] || status=1
check "the eleven readings change between two polls" "$status"

ANSWERS=$(probe "$TITLE" device-change) || true
status=0
awk 'NF != 2 || $2 != 1 {bad = 1} END {exit bad || NR != 4}' <<<"$ANSWERS" || status=1
check "every device-change notice answered with 1" "$status" "$(tr '\n' ' ' <<<"$ANSWERS")"

echo "--- pictures"
# ink WIDTH HEIGHT LEFT TOP RRGGBB: the pixels of the Win32 picture's rectangle that lie within a quarter of the
# range of that colour in every channel. A caption over plain background has none without its text; the
# faintest one drawn here has some fifteen.
ink() {
    convert "$WIN32_PICTURE" -crop "$1x$2+$3+$4" +repage \( +clone -fill "#$5" -colorize 100 \) \
        -compose difference -composite -separate -evaluate-sequence max -threshold 25% -negate \
        -format '%[fx:round(w*h*mean)]' info: 2>/dev/null || echo 0
}
WIN32_PICTURE="$OUT/win32.png"
QT_PICTURE="$OUT/qt.png"
BOTH_PICTURE="$OUT/win32-qt.png"
rm -f "$WIN32_PICTURE" "$QT_PICTURE" "$BOTH_PICTURE"
xwd -display "$WINE_DISPLAY" -root -silent | convert xwd:- "$OUT/win32-screen.png"
CAPTIONS=$(probe "$TITLE" captions) || true
status=1
bare=""
if [ "$CLIENT_WIDTH" -gt 0 ] && [ "$CLIENT_HEIGHT" -gt 0 ] && [ -n "$CAPTIONS" ]; then
    convert "$OUT/win32-screen.png" -crop "${CLIENT_WIDTH}x${CLIENT_HEIGHT}+$CLIENT_LEFT+$CLIENT_TOP" +repage \
        "$WIN32_PICTURE"
    status=0
    summary=""
    while read -r id left top right bottom colours; do
        pixels=0
        for colour in ${colours//,/ }; do
            pixels=$((pixels + $(ink $((right - left)) $((bottom - top)) "$left" "$top" "$colour")))
        done
        summary+="$id:$pixels "
        if [ "$pixels" -lt 10 ]; then
            bare+="$id "
            status=1
        fi
    done <<<"$CAPTIONS"
    echo "    ink pixels per caption and reading: $summary"
fi
check "every caption and reading has ink" "$status" "${bare:+without ink: $bare}"

# Qt's window has no frame here, so its client area is the whole 810 x 422.
qt_placed() {
    local id
    id=$(DISPLAY=$QT_DISPLAY xdotool search --onlyvisible --name '^Lumenvale' | head -n 1)
    [ -n "$id" ] && DISPLAY=$QT_DISPLAY xwininfo -id "$id" | tr -d ' ' | grep -q -- '-geometry810x422+350+180$'
}
status=1
detail="no Qt window at 810x422+350+180"
if [ -n "$QT_PID" ] && wait_for 10 qt_placed && [ -f "$WIN32_PICTURE" ]; then
    xwd -display "$QT_DISPLAY" -root -silent | convert xwd:- "$OUT/qt-screen.png"
    convert "$OUT/qt-screen.png" -crop 810x422+350+180 +repage "$QT_PICTURE"
    convert "$WIN32_PICTURE" "$QT_PICTURE" -background white +append +repage "$BOTH_PICTURE"
    width=$((CLIENT_WIDTH < 810 ? CLIENT_WIDTH : 810))
    height=$((CLIENT_HEIGHT < 422 ? CLIENT_HEIGHT : 422))
    convert "$WIN32_PICTURE" -crop "${width}x$height+0+0" +repage "$RUN/win32-common.png"
    convert "$QT_PICTURE" -crop "${width}x$height+0+0" +repage "$RUN/qt-common.png"
    # differing FUZZ: how many pixels of the common area differ by more than FUZZ.
    differing() {
        compare -metric AE -fuzz "$1" "$RUN/win32-common.png" "$RUN/qt-common.png" null: 2>&1 || true
    }
    exact=$(differing 0)
    visible=$(differing 10%)
    if [[ "$exact" =~ ^[0-9]+$ && "$visible" =~ ^[0-9]+$ ]]; then
        status=0
        detail=$(awk -v e="$exact" -v v="$visible" -v a=$((width * height)) -v c="${width}x$height" 'BEGIN {
            printf "of the common %s, %.1f %% of the pixels differ, %.1f %% by more than 10 %%", c,
                   100 * e / a, 100 * v / a}')
    else
        detail="compare: $exact $visible"
    fi
    echo "    Win32: $WIN32_PICTURE"
    echo "    Qt: $QT_PICTURE"
    echo "    side by side: $BOTH_PICTURE"
fi
check "the window's picture beside the Qt window's" "$status" "$detail"

echo "--- configuration and autostart"
CONFIG="$APP_DIR/HalcyraConfig@Ostrel.ini"
status=0
grep -qE $'^\\[SYS\\]\r?$' "$CONFIG" && grep -qE $'^Control Mode=0\r?$' "$CONFIG" || status=1
check "HalcyraConfig@Ostrel.ini beside the .exe holds [SYS] and Control Mode=0" "$status" \
    "$(tr -d '\r' <"$CONFIG" 2>/dev/null | tr '\n' ' ')"
RUN_VALUE=$(in_wine wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Zephyrine \
    2>/dev/null | tr -d '\r' | sed -n 's/^ *Zephyrine *REG_SZ *//p' || true)
status=0
[ -z "$RUN_VALUE" ] || status=1
check "the demo (--simulate) writes no Run value" "$status" "$RUN_VALUE"

echo "--- a second copy"
start_program >"$OUT/zephyrine-second.log" 2>&1 &
SECOND_PID=$!
BOX=$(probe Zephyrine message-box) || true
sed 's/^/    /' <<<"$BOX"
status=0
[ "$BOX" = $'text 应用程序已经启动!\\r\\nApplication already running!\nbutton 1 OK' ] || status=1
check "a second copy shows the box \"Zephyrine\" with the text and OK only" "$status"
second_ended() { ! kill -0 "$SECOND_PID"; }
status=0
wait_for 10 second_ended || status=1
second_status=""
if [ "$status" -eq 0 ]; then
    second_status=0
    wait "$SECOND_PID" || second_status=$?
    [ "$second_status" -eq 0 ] || status=1
fi
STILL=$(probe "$TITLE" readings) || status=1
kill -0 "$APP_PID" 2>/dev/null || status=1
[ "$(wc -w <<<"$STILL")" -eq 11 ] || status=1
check "the second copy ends after OK, the first answers on" "$status" \
    "second copy's status ${second_status:-none: still running}; readings $STILL"

echo
echo "windows-window stage: $((SECONDS - START)) s (build $build_seconds s, wineboot $boot_seconds s, checks" \
    "$((SECONDS - checks_start - boot_seconds)) s)"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
