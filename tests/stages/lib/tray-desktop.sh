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
    local attempt
    for attempt in 1 2 3; do
        # Xvfb picks a free display itself and names it once it accepts clients.
        Xvfb -displayfd 3 -screen 0 1366x768x24 -dpi 96 -nolisten tcp 3>"$WORK/display" >>"$OUT/xvfb.log" 2>&1 &
        XVFB_PID=$!
        wait_for 20 grep -q . "$WORK/display" || fail "Xvfb did not start"
        export DISPLAY=":$(cat "$WORK/display")"
        # Seen once: a display that answered nobody (the panel could not open it, nor could a screenshot),
        # as when a server still ending removes the socket of the one that took its number. Another one then.
        wait_for 5 xdpyinfo >/dev/null && break
        echo "note: Xvfb on $DISPLAY does not answer; starting another"
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        [ "$attempt" -lt 3 ] || fail "no Xvfb that answers"
    done
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true --transparent false \
        --tint 0x808080 >"$OUT/trayer.log" 2>&1 &
    TRAYER_PID=$!
}
