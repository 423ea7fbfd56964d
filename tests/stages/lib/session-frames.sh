# The frames the supply must receive in a driven session of the program (tray-session.sh on Linux,
# windows-session.sh under Wine), kept here so that both sessions expect the same: polls in Eco, polls in
# TempControl, 1500 rpm, polls, the energy clearing, polls. The parts of a report after its frame are not
# looked at.
SESSION_FRAME_RUNS="aa7e80000000 aa7e82000000 aa7e82dc0500 aa7e82000000 aa7e82000001 aa7e82000000"

# session_frames_check LOG: the simulated supply's log (one hex line per 65-byte report) against the
# session. Prints "frames received: RUNS (N reports)" and succeeds when every report is 65 bytes, the frames,
# runs of equal ones taken as one, are the session's and the speed and the clearing went out once each;
# prints what differs and fails otherwise.
session_frames_check() {
    local log=$1 runs
    if ! awk 'length($0) != 130 {bad = 1} END {exit bad}' "$log"; then
        echo "a report that is not 65 bytes"
        return 1
    fi
    runs=$(cut -c3-14 "$log" | uniq | tr '\n' ' ')
    runs=${runs% }
    [ "$runs" = "$SESSION_FRAME_RUNS" ] || { echo "frames: $runs, expected $SESSION_FRAME_RUNS"; return 1; }
    local frame
    for frame in aa7e82dc0500 aa7e82000001; do
        [ "$(grep -c "^00$frame" "$log")" -eq 1 ] || { echo "frame $frame went out more than once"; return 1; }
    done
    echo "frames received: $runs ($(wc -l <"$log") reports)"
}
