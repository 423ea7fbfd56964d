#!/bin/busybox sh
# PID 1 of the end-to-end guest: loads the HID modules, starts the virtual-supply daemon, runs zephyrine-cli
# through a schedule of commands, replies, an unplug and a re-plug, prints the checks (guest-checks.sh) and
# powers off. Every line the host looks at starts with "E2E ".
/bin/busybox --install -s /bin
export PATH=/bin:/usr/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
# Where the window and the cli keep the mode (the programs are installed in /usr/bin).
export XDG_CONFIG_HOME=/tmp/config XDG_RUNTIME_DIR=/run

say() { echo "E2E $*"; }
# The firmware leaves escape sequences on the console's last line: start the guest's lines on a fresh one.
echo
finish() {
    say END
    poweroff -f
}

for module in $(cat /lib/modules/load-order); do
    insmod "/lib/modules/$module.ko" || say "FATAL insmod $module"
done

SUPPLY_LOG=/tmp/supply.log
CLI_LOG=/tmp/cli.log
CONTROL=/run/supply.ctl
mkfifo "$CONTROL"
zephyrine-uhid-supply "$CONTROL" >"$SUPPLY_LOG" 2>&1 &
: >"$CLI_LOG"

count() { grep -c "$2" "$1" 2>/dev/null || true; }
# wait_for FILE PATTERN COUNT [SECONDS]: until that many lines match, for at most SECONDS (20).
wait_for() {
    tries=0
    while [ "$(count "$1" "$2")" -lt "$3" ]; do
        tries=$((tries + 1))
        if [ "$tries" -gt $((${4:-20} * 20)) ]; then
            say "TIMEOUT waiting for $3 x '$2' in $1"
            return 1
        fi
        sleep 0.05
    done
}
# supply COMMAND: tells the daemon and waits until it has carried the command out.
supply() {
    done_before=$(count "$SUPPLY_LOG" '^SUPPLY done ')
    echo "$*" >"$CONTROL"
    wait_for "$SUPPLY_LOG" '^SUPPLY done ' $((done_before + 1))
}
hidraw_nodes() { ls /sys/class/hidraw 2>/dev/null | wc -l; }
wait_nodes() {
    tries=0
    while [ "$(hidraw_nodes)" -ne "$1" ] && [ "$tries" -lt 400 ]; do
        tries=$((tries + 1))
        sleep 0.05
    done
}
cli() {
    echo "CLI RUN $*" >>"$CLI_LOG"
    zephyrine-cli "$@" >>"$CLI_LOG" 2>&1
    echo "CLI EXIT $?" >>"$CLI_LOG"
}

wait_for "$SUPPLY_LOG" '^SUPPLY ready' 1 || finish
# The decoy comes first, so it is hidraw0 and the search meets it before the supply.
supply decoy
wait_nodes 1
supply plug
wait_nodes 2
for node in /sys/class/hidraw/*; do
    say "NODE $(basename "$node") $(grep HID_ID "$node/device/uevent")"
done
# Read now: the devices go with the daemon.
grep -q 'HID_ID=0003:000004D8:00000040' /sys/class/hidraw/hidraw0/device/uevent && decoy_first=1 || decoy_first=0
supply_node=/dev/$(grep -l 'HID_ID=0003:000004D8:0000003F' /sys/class/hidraw/*/device/uevent | head -1 | cut -d/ -f5)

cli --interval 300 --count 2
cli --interval 300 --count 2 --mode temp
cli --interval 300 --count 2 --mode temp --fan 1500
cli --interval 300 --count 2 --mode eco --clear-energy
# A user the node does not belong to (devtmpfs makes it root's, mode 0600): no udev rule gave access.
mkdir -p /etc
echo 'nobody:x:65534:65534:nobody:/:/bin/sh' >/etc/passwd
echo 'nogroup:x:65534:' >/etc/group
su -s /bin/sh -c 'zephyrine-cli --count 1; echo "exit $?"' nobody >/tmp/denied.log 2>&1
sed 's/^/E2E DENIED /' /tmp/denied.log

# One long run: a garbage reply, a short reply, then the supply goes away and comes back.
polls=$(count "$CLI_LOG" '^poll ')
(cli --interval 600 --count 8 --mode temp) &
run=$!
wait_for "$CLI_LOG" '^poll ' $((polls + 2)) && supply reply garbage
wait_for "$CLI_LOG" '^poll ' $((polls + 3)) && supply reply short 20
wait_for "$CLI_LOG" '^poll ' $((polls + 4)) && supply reply normal
wait_for "$CLI_LOG" '^poll ' $((polls + 6)) && supply unplug
wait_for "$CLI_LOG" '^power supply lost$' 1 && sleep 1 && supply plug
wait_for "$CLI_LOG" '^power supply back$' 1
wait_for "$CLI_LOG" '^CLI EXIT ' 5
kill "$run" 2>/dev/null
# The window runs (its lock held) and keeps TempControl: a plain cli sends TempControl frames, and a command of
# its own is refused before anything is sent.
zephyrine-window-stand-in >/tmp/window.log 2>&1 &
window=$!
wait_for /tmp/window.log '^held$' 1
mkdir -p "$XDG_CONFIG_HOME/zephyrine"
printf '[SYS]\r\nControl Mode=1\r\n' >"$XDG_CONFIG_HOME/zephyrine/HalcyraConfig@Ostrel.ini"
echo "CLI BESIDE THE WINDOW" >>"$CLI_LOG"
cli --interval 300 --count 2
cli --count 1 --mode eco
kill "$window"
# A supply that answers nothing: each poll says so, and the run fails.
supply reply none
cli --interval 300 --count 2
supply reply normal
echo quit >"$CONTROL"

sed 's/^/E2E LOG cli: /' "$CLI_LOG"
sed 's/^/E2E LOG supply: /' "$SUPPLY_LOG"
dmesg | grep -i hid | sed 's/^/E2E LOG kernel: /'
dmesg | grep -q 'was too short' && short_dropped=1 || short_dropped=0
sh /guest-checks.sh "$SUPPLY_LOG" "$CLI_LOG" "$decoy_first" "$short_dropped"
denied_ok=0
grep -qx "zephyrine-cli: permission denied on $supply_node: install the udev rule (see README)" /tmp/denied.log &&
    grep -qx 'exit 3' /tmp/denied.log && denied_ok=1
[ "$denied_ok" = 1 ] && result=PASS || result=FAIL
say "CHECK (f) a node the user may not open is reported as such, not as a missing supply: $result"

# ---- Fault scenarios: late, silent and flooding supplies, fast re-plugs, a silent twin, signals ----
. /guest-faults.sh
# ---- end of the fault scenarios ----
finish
