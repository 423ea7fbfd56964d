#!/usr/bin/env bash
# The cli on the virtual supply for 100,000 polls: its memory (RSS) stays within 1 MB of what it was after the
# warm-up, and its threads and descriptors stay as they were; prints the figures as it goes.
# The device's floor of about 31 ms a poll (the 20 ms copy delay, the 10 ms after a write, the interval) would
# make this 50 minutes: --speedup 1000 shortens those waits, while the virtual supply still ages 1 ms a poll.
# Usage: soak.sh BUILD_DIR OUT_DIR
source "$(dirname "$0")/../../scripts/lib.sh"

BUILD=$(cd "$1" && pwd)
OUT=$2
CLI=$BUILD/src/cli/zephyrine-cli
POLLS=100000
WARM_UP_POLLS=$((POLLS / 10))
[ -x "$CLI" ] || { echo "soak: $CLI not built"; exit 1; }
mkdir -p "$OUT"

WORK=$(mktemp -d)
CLI_PID=""
cleanup() {
    [ -n "$CLI_PID" ] && kill "$CLI_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

# The polls are counted as they come instead of kept: 100,000 of them are some 50 MB of JSON.
"$CLI" --simulate --speedup 1000 --interval 1 --count "$POLLS" --json \
    > >(awk -v progress="$WORK/progress" -v totals="$WORK/totals" '
        { polls++ }
        /"reply":false/ { unanswered++ }
        polls % 1000 == 0 { print polls > progress; close(progress) }
        END { print polls + 0, unanswered + 0 > totals }') 2>"$OUT/soak-cli.err" &
CLI_PID=$!

polls_so_far() { cat "$WORK/progress" 2>/dev/null || echo 0; }
# RSS in kB, threads and descriptors of the cli, into RSS, THREADS and FDS; false once it has ended.
sample() {
    local status
    status=$(cat "/proc/$CLI_PID/status" 2>/dev/null) || return 1
    RSS=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB$/\1/p' <<<"$status")
    THREADS=$(sed -n 's/^Threads:[[:space:]]*//p' <<<"$status")
    FDS=$(find "/proc/$CLI_PID/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
    [ -n "$RSS" ]
}

echo "soak: $POLLS polls of the cli on the virtual supply; figures from poll $WARM_UP_POLLS on"
printf '%8s %8s %10s %8s %6s\n' "time/s" "polls" "RSS/kB" "threads" "fds" | tee "$OUT/soak.txt"
started=$(date +%s%N)
first_rss=""
while :; do
    sleep 2
    polls=$(polls_so_far)
    [ "$polls" -ge "$WARM_UP_POLLS" ] || { kill -0 "$CLI_PID" 2>/dev/null && continue || break; }
    # Sampled while the cli still has polls to go: a sample of a process on its way out means nothing.
    [ "$polls" -lt "$POLLS" ] && sample || break
    elapsed=$((($(date +%s%N) - started) / 1000000000))
    printf '%8d %8d %10d %8d %6d\n' "$elapsed" "$polls" "$RSS" "$THREADS" "$FDS" | tee -a "$OUT/soak.txt"
    if [ -z "$first_rss" ]; then
        first_rss=$RSS first_threads=$THREADS first_fds=$FDS min_rss=$RSS max_rss=$RSS
    fi
    last_rss=$RSS last_threads=$THREADS last_fds=$FDS
    min_rss=$((RSS < min_rss ? RSS : min_rss))
    max_rss=$((RSS > max_rss ? RSS : max_rss))
done
cli_status=0
wait "$CLI_PID" || cli_status=$?
CLI_PID=""
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
# The awk behind the process substitution may finish just after the cli.
for _ in $(seq 50); do
    [ -s "$WORK/totals" ] && break
    sleep 0.1
done
read -r total unanswered <"$WORK/totals" || total=0 unanswered=0

status=0
fail() {
    echo "soak: FAILED: $*"
    status=1
}
printf 'soak: %d polls in %d.%d s (exit %d), %d unanswered\n' "$total" $((elapsed_ms / 1000)) \
    $((elapsed_ms % 1000 / 100)) "$cli_status" "$unanswered" | tee -a "$OUT/soak.txt"
[ "$cli_status" -eq 0 ] || fail "the cli exited $cli_status: $(cat "$OUT/soak-cli.err")"
[ "$total" -eq "$POLLS" ] || fail "$total polls instead of $POLLS"
if [ -z "$first_rss" ]; then
    fail "no sample after the warm-up"
else
    echo "soak: RSS $first_rss -> $last_rss kB (between $min_rss and $max_rss), threads $first_threads -> $last_threads," \
        "descriptors $first_fds -> $last_fds" | tee -a "$OUT/soak.txt"
    [ $((max_rss - min_rss)) -le 1024 ] || fail "RSS moved by more than 1 MB after the warm-up"
    [ "$last_threads" = "$first_threads" ] || fail "the number of threads changed"
    [ "$last_fds" = "$first_fds" ] || fail "the number of descriptors changed"
fi
[ "$status" -eq 0 ] && echo "soak: passed"
exit "$status"
