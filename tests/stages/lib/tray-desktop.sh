# The desktop and the check helpers of the two tray sessions (tray-session.sh and tests/ui/windows-session.sh).
# The caller defines fail MESSAGE, WORK (a scratch directory) and OUT (where logs go).

pass() {
    echo "check: $*: ok"
}

# wait_for SECONDS COMMAND...: true once the command succeeds, false when the time runs out.
wait_for() {
    local tenths=$(($1 * 10))
    shift
    for _ in $(seq "$tenths"); do
        "$@" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# start_tray_desktop: an Xvfb (DISPLAY exported, XVFB_PID) with the trayer panel, an XEmbed tray, on it
# (TRAYER_PID).
start_tray_desktop() {
    # Xvfb picks a free display itself and names it once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1366x768x24 -dpi 96 -nolisten tcp 3>"$WORK/display" >"$OUT/xvfb.log" 2>&1 &
    XVFB_PID=$!
    wait_for 20 grep -q . "$WORK/display" || fail "Xvfb did not start"
    export DISPLAY=":$(cat "$WORK/display")"
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true --transparent false \
        --tint 0x808080 >"$OUT/trayer.log" 2>&1 &
    TRAYER_PID=$!
}
