# Fault scenarios, sourced by guest-init.sh after its own schedule (it uses that script's count, wait_for,
# wait_nodes and supply). A daemon of their own, with logs of their own, so that the schedule's checks never
# see these runs. Prints "E2E CHECK (late|silent|signal|flood|replug|twin) ...: PASS|FAIL" and "E2E FIGURE"
# lines with what was measured.
SUPPLY_LOG=/tmp/fault-supply.log
CONTROL=/run/fault.ctl
mkfifo "$CONTROL"
zephyrine-uhid-supply "$CONTROL" >"$SUPPLY_LOG" 2>&1 &
wait_for "$SUPPLY_LOG" '^SUPPLY ready' 1
supply plug
wait_nodes 1

# A flood may not take more of the guest's one CPU in the cli than this, in percent. The cli reads each report
# (one read and a 65-byte copy); with the daemon sending 7,000 to 8,000 a second it took 35 to 37 % under TCG.
FLOOD_CPU_BOUND=50
# How long the cli may take to end after SIGINT or SIGTERM, in ms.
SIGNAL_BOUND_MS=100

check() { say "CHECK ($1) $2: $([ "$3" = 1 ] && echo PASS || echo FAIL)"; }
figure() { say "FIGURE $*"; }
# NOW_MS: the uptime in ms (10 ms steps), read without starting a process.
now_ms() {
    read -r up _ </proc/uptime
    frac=${up#*.}
    frac=${frac#0}
    NOW_MS=$((${up%.*} * 1000 + frac * 10))
}
# TICKS: user and system time of process $1 in clock ticks (1/100 s).
cpu_ticks() {
    read -r stat <"/proc/$1/stat"
    set -- ${stat#*) }
    TICKS=$((${12} + ${13}))
}
outs() { count "$SUPPLY_LOG" "^$1 OUT "; }
# fault_cli NAME ARGS...: the cli in the foreground (so SIGINT is not ignored, as it is for a background job of
# a shell without job control), its output in /tmp/fault-NAME.log, its exit status in $status.
fault_cli() {
    name=$1
    shift
    zephyrine-cli "$@" >"/tmp/fault-$name.log" 2>&1
    status=$?
}
# signal_cli SIGNAL: sends it to the running cli and writes how long the cli took to end, in ms, to
# /tmp/fault-ended. Ended means gone or a zombie: the shell that waits for it may not have reaped it yet.
signal_cli() {
    pid=$(pidof zephyrine-cli)
    now_ms
    sent=$NOW_MS
    kill "-$1" "$pid"
    while read -r stat <"/proc/$pid/stat"; do
        rest=${stat#*) }
        [ "${rest%% *}" = Z ] && break
    done 2>/dev/null
    now_ms
    echo $((NOW_MS - sent)) >/tmp/fault-ended
}
# readings_match NAME: each poll of the run, the latest in the supply's log, shows what the supply's EXPECT line
# for its frame says. The cli prints the labels in its own order (printOrder: their control IDs); EXPECT
# has them sorted by ID.
readings_match() {
    awk '
    BEGIN { split("1056 1058 1059 1057 1035 1036 1037 1038 1039 1065 1066", printOrder, " ") }
    FNR == NR && /^SUPPLY OUT / { outs++; next }
    FNR == NR && /^SUPPLY EXPECT / { expect[outs] = $0; next }
    FNR == NR { next }
    /^poll / { polls++; n = 0; next }
    /^  (ok|WARN)  / { shown[polls] = shown[polls] " " printOrder[++n] "=" $(NF - 1); next }
    END {
        for (k = 1; k <= polls; k++) {
            split(expect[outs - polls + k], pairs, " ")
            delete want
            for (i = 3; i in pairs; i++) { split(pairs[i], pair, "="); want[pair[1]] = pair[2] }
            line = ""
            for (i = 1; i <= 11; i++) line = line " " printOrder[i] "=" want[printOrder[i]]
            if (shown[k] != line) { print "E2E DETAIL poll " k " shows" shown[k] ", wants" line; bad = 1 }
        }
        exit bad
    }' "$SUPPLY_LOG" "/tmp/fault-$1.log"
}

# ---- Late replies: 30 ms late is in time, 400 ms late is past the cli's 20 + 250 ms and counts as none. ----
supply delay 30
before=$(outs SUPPLY)
fault_cli late30 --interval 300 --count 3
late30_status=$status
late30_polls=$(count /tmp/fault-late30.log '^poll ')
late30_silent=$(count /tmp/fault-late30.log 'no reply')
late30_outs=$(($(outs SUPPLY) - before))
readings_match late30 && late30_readings=1 || late30_readings=0
supply delay 400
before=$(outs SUPPLY)
fault_cli late400 --interval 300 --count 3
late400_status=$status
late400_polls=$(count /tmp/fault-late400.log '^poll ')
late400_silent=$(count /tmp/fault-late400.log 'no reply')
late400_outs=$(($(outs SUPPLY) - before))
sleep 0.5
supply delay 0
figure "late 30 ms: exit $late30_status, polls $late30_polls, unanswered $late30_silent, frames $late30_outs"
figure "late 400 ms: exit $late400_status, polls $late400_polls, unanswered $late400_silent, frames $late400_outs"
ok=0
[ "$late30_status" = 0 ] && [ "$late30_polls" = 3 ] && [ "$late30_silent" = 0 ] && [ "$late30_outs" = 3 ] &&
    [ "$late30_readings" = 1 ] && [ "$late400_status" = 4 ] && [ "$late400_polls" = 3 ] &&
    [ "$late400_silent" = 3 ] && [ "$late400_outs" = 3 ] && ok=1
check late "a reply 30 ms late is read, one 400 ms late is no reply and never shows in the next poll" $ok

# ---- A supply that never answers, and SIGINT or SIGTERM while the cli waits for its reply. ----
supply reply none
silent_ok=1
signal_ok=1
for sig in INT TERM; do
    before=$(outs SUPPLY)
    # The third frame has just arrived: the cli is in its wait for the reply.
    (wait_for "$SUPPLY_LOG" '^SUPPLY OUT ' $((before + 3)) && signal_cli $sig) &
    killer=$!
    fault_cli silent-$sig --interval 300 --count 20
    wait $killer
    polls=$(count /tmp/fault-silent-$sig.log '^poll ')
    silent=$(count /tmp/fault-silent-$sig.log 'no reply')
    ended=$(cat /tmp/fault-ended 2>/dev/null || echo none)
    rm -f /tmp/fault-ended
    figure "silent supply, SIG$sig in the reply wait: ended in $ended ms, exit $status, polls $polls, unanswered $silent"
    [ "$polls" -ge 2 ] && [ "$silent" = "$polls" ] || silent_ok=0
    [ "$ended" != none ] && [ "$ended" -le "$SIGNAL_BOUND_MS" ] && [ "$status" -gt 128 ] || signal_ok=0
done
supply reply normal
check silent "a supply that never answers gets every poll reported as no reply, and the cli goes on polling" $silent_ok

# ---- SIGINT or SIGTERM while the supply is away. ----
for sig in INT TERM; do
    # Made before the helper looks at it: wait_for takes a missing file for a match.
    : >/tmp/fault-away-$sig.log
    (wait_for /tmp/fault-away-$sig.log '^poll ' 1 && supply unplug &&
        wait_for /tmp/fault-away-$sig.log '^power supply lost$' 1 && sleep 0.3 && signal_cli $sig) &
    killer=$!
    fault_cli away-$sig --interval 300
    wait $killer
    ended=$(cat /tmp/fault-ended 2>/dev/null || echo none)
    rm -f /tmp/fault-ended
    figure "supply away, SIG$sig: ended in $ended ms, exit $status"
    [ "$ended" != none ] && [ "$ended" -le "$SIGNAL_BOUND_MS" ] && [ "$status" -gt 128 ] || signal_ok=0
    supply plug
    wait_nodes 1
done
check signal "SIGINT and SIGTERM end the cli within $SIGNAL_BOUND_MS ms in the reply wait and with the supply away" $signal_ok

# ---- Unasked input reports as fast as the guest can send them, while the cli polls. ----
zephyrine-cli --interval 200 >/tmp/fault-flood.log 2>&1 &
cli_pid=$!
wait_for /tmp/fault-flood.log '^poll ' 2
cpu_ticks $cli_pid
ticks_before=$TICKS
now_ms
ms_before=$NOW_MS
before=$(outs SUPPLY)
supply flood 3000
cpu_ticks $cli_pid
now_ms
flood_ms=$((NOW_MS - ms_before))
flood_cpu=$(((TICKS - ticks_before) * 10 * 100 / flood_ms))
flood_polls=$(($(outs SUPPLY) - before))
polls=$(count /tmp/fault-flood.log '^poll ')
wait_for /tmp/fault-flood.log '^poll ' $((polls + 2)) && resumed=1 || resumed=0
kill -TERM $cli_pid
wait $cli_pid
flood_sent=$(sed -n 's/^SUPPLY flood sent \([0-9]*\) reports in \([0-9]*\) ms$/\1 \2/p' "$SUPPLY_LOG")
figure "flood: ${flood_sent% *} reports in ${flood_sent#* } ms; the cli took $flood_cpu % of the CPU over $flood_ms ms, polled $flood_polls times"
ok=0
[ "$flood_cpu" -le "$FLOOD_CPU_BOUND" ] && [ "$flood_polls" -ge 5 ] && [ "${flood_sent% *}" -gt 100 ] &&
    [ "$resumed" = 1 ] && ok=1
check flood "a flood of unasked reports leaves the cli below $FLOOD_CPU_BOUND % CPU and polling" $ok

# ---- 30 unplugs and re-plugs in 15 s, ending plugged. ----
zephyrine-cli --interval 200 >/tmp/fault-replug.log 2>&1 &
cli_pid=$!
wait_for /tmp/fault-replug.log '^poll ' 2
fds_before=$(ls /proc/$cli_pid/fd | wc -l)
threads_before=$(ls /proc/$cli_pid/task | wc -l)
echo "cycle 30 500" >"$CONTROL"
wait_for "$SUPPLY_LOG" '^SUPPLY done cycle' 1 40
polls=$(count /tmp/fault-replug.log '^poll ')
wait_for /tmp/fault-replug.log '^poll ' $((polls + 3)) && resumed=1 || resumed=0
fds_after=$(ls /proc/$cli_pid/fd | wc -l)
threads_after=$(ls /proc/$cli_pid/task | wc -l)
kill -TERM $cli_pid
wait $cli_pid
lost=$(count /tmp/fault-replug.log '^power supply lost$')
back=$(count /tmp/fault-replug.log '^power supply back$')
last_event=$(grep '^power supply ' /tmp/fault-replug.log | tail -1)
answered_after=$(awk '/^power supply back$/ { n = 0; m = 0 } /^poll / { n++ } /no reply/ { m++ } END { print n - m }' /tmp/fault-replug.log)
figure "replug: lost $lost, back $back, answered polls after the last back $answered_after; descriptors $fds_before -> $fds_after, threads $threads_before -> $threads_after"
ok=0
[ "$resumed" = 1 ] && [ "$lost" -ge 1 ] && [ "$last_event" = "power supply back" ] && [ "$answered_after" -ge 2 ] &&
    [ "$fds_after" = "$fds_before" ] && [ "$threads_after" = "$threads_before" ] && ok=1
check replug "30 unplugs and re-plugs in 15 s: polling resumes, descriptors and threads as before" $ok

# ---- Two matching supplies, the first silent: the search takes the first match and stays with it. ----
supply unplug
supply twin
supply plug
wait_nodes 2
for node in /sys/class/hidraw/*; do
    say "FAULT NODE $(basename "$node") $(grep HID_NAME "$node/device/uevent")"
done
supply_before=$(outs SUPPLY)
twin_before=$(outs TWIN)
fault_cli twin --interval 300 --count 2
twin_polls=$(count /tmp/fault-twin.log 'no reply')
twin_outs=$(($(outs TWIN) - twin_before))
supply_outs=$(($(outs SUPPLY) - supply_before))
figure "two supplies, the first silent: exit $status, unanswered $twin_polls of 2, frames to the first $twin_outs, to the second $supply_outs"
ok=0
[ "$status" = 4 ] && [ "$twin_polls" = 2 ] && [ "$twin_outs" = 2 ] && [ "$supply_outs" = 0 ] && ok=1
check twin "of two matching supplies the cli polls the first, silent one, and reports no reply" $ok
supply untwin
echo quit >"$CONTROL"

for log in /tmp/fault-*.log; do
    sed "s/^/E2E LOG $(basename "$log" .log): /" "$log"
done
