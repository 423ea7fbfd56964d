#!/usr/bin/env bash
# End-to-end run against the real Linux HID stack: boots Debian's kernel in QEMU (TCG) from an initramfs with
# busybox, the HID modules, the uhid virtual-supply daemon and zephyrine-cli, lets the guest run its schedule
# (guest-init.sh) and asserts the checks the guest prints on its console.
#
# Usage: run-qemu-e2e.sh BUILD_DIR [LOG_DIR]
#   BUILD_DIR: a build without sanitizers, with the tests (it holds zephyrine-cli and zephyrine-uhid-supply).
#   LOG_DIR: where to keep the guest's console as e2e-console.log (the full logs of the cli and the daemon).
# Needs the Debian packages qemu-system-x86 busybox-static cpio xz-utils, and the Debian archive on the first
# run: the kernel package is fetched with apt-get download and kept in ${XDG_CACHE_HOME:-~/.cache}/zephyrine-e2e.
set -euo pipefail

started=$(date +%s%N)
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BUILD=$(cd "${1:?usage: $0 BUILD_DIR [LOG_DIR]}" && pwd)
LOG_DIR=${2:-}
CACHE=${ZEPHYRINE_E2E_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zephyrine-e2e}
CLI=$BUILD/src/cli/zephyrine-cli
DAEMON=$BUILD/tests/e2e/zephyrine-uhid-supply
WINDOW_STAND_IN=$BUILD/tests/e2e/zephyrine-window-stand-in
BUSYBOX=/bin/busybox
# The guest's own limit; the whole run (about 50 s) must stay within three minutes.
GUEST_TIMEOUT_S=170

fail() {
    echo "e2e: $*" >&2
    exit 1
}

for tool in qemu-system-x86_64 cpio gzip xz dpkg-deb apt-get apt-cache; do
    command -v "$tool" >/dev/null || fail "$tool is missing (packages: qemu-system-x86 busybox-static cpio xz-utils)"
done
[ -x "$BUSYBOX" ] && ! ldd "$BUSYBOX" >/dev/null 2>&1 || fail "$BUSYBOX must be the static busybox (busybox-static)"
[ -x "$CLI" ] || fail "$CLI not built"
[ -x "$DAEMON" ] || fail "$DAEMON not built (a build without sanitizers builds it)"
[ -x "$WINDOW_STAND_IN" ] || fail "$WINDOW_STAND_IN not built"

# The kernel package that linux-image-amd64 points at now, or the newest one already cached.
kernel_package() {
    local pkg
    pkg=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*-amd64\)$/\1/p' | head -1)
    if [ -z "$pkg" ] && [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq >/dev/null 2>&1 || true
        pkg=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[0-9].*-amd64\)$/\1/p' | head -1)
    fi
    if [ -z "$pkg" ]; then
        pkg=$(find "$CACHE" -maxdepth 2 -name .unpacked -printf '%h\n' 2>/dev/null | xargs -r -n1 basename | sort -V | tail -1)
    fi
    [ -n "$pkg" ] || fail "no kernel package known to apt-cache and none cached in $CACHE"
    echo "$pkg"
}

# Unpacks the package into the cache once; later runs reuse it.
fetch_kernel() {
    local pkg=$1 dir=$CACHE/$1
    if [ ! -e "$dir/.unpacked" ]; then
        mkdir -p "$CACHE"
        rm -rf "$dir" "$dir.partial" "$CACHE"/"$pkg"_*.deb
        echo "e2e: downloading $pkg into $CACHE" >&2
        (cd "$CACHE" && apt-get download -qq "$pkg" 2>&1 | grep -v '^W: Download is performed unsandboxed' >&2 || true)
        local deb
        deb=$(ls "$CACHE"/"$pkg"_*.deb 2>/dev/null | head -1)
        [ -n "$deb" ] || fail "apt-get download $pkg failed"
        dpkg-deb -x "$deb" "$dir.partial"
        rm -f "$deb"
        mv "$dir.partial" "$dir"
        touch "$dir/.unpacked"
    fi
    echo "$dir"
}

# A module's file, compressed or not; module names treat - and _ alike.
module_file() {
    local pattern
    pattern=$(echo "$1" | sed 's/[-_]/[-_]/g')
    find "$MODULES/kernel" -name "$pattern.ko" -o -name "$pattern.ko.xz" -o -name "$pattern.ko.zst" -o \
        -name "$pattern.ko.gz" | head -1
}

module_contents() {
    case $1 in
    *.ko.xz) xz -dc "$1" ;;
    *.ko.zst) zstd -dc "$1" ;;
    *.ko.gz) gzip -dc "$1" ;;
    *) cat "$1" ;;
    esac
}

# Appends the module and, before it, the modules it depends on (from its modinfo; the package ships no
# modules.dep) to LOAD_ORDER, each once.
add_module() {
    local name=$1 file dep
    case " $LOAD_ORDER " in *" $name "*) return ;; esac
    file=$(module_file "$name")
    [ -n "$file" ] || fail "module $name not found in $MODULES"
    module_contents "$file" >"$ROOT/lib/modules/$name.ko"
    for dep in $(tr '\0' '\n' <"$ROOT/lib/modules/$name.ko" | sed -n 's/^depends=//p' | tr ',' ' '); do
        add_module "$dep"
    done
    LOAD_ORDER="$LOAD_ORDER $name"
}

# The executable and the shared libraries it loads, at the same paths, so the guest runs the very binary the
# host built.
add_dynamic() {
    local exe=$1 lib
    install -D -m 755 "$exe" "$ROOT/usr/bin/$(basename "$exe")"
    for lib in $(ldd "$exe" | awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }'); do
        install -D -m 755 "$(readlink -f "$lib")" "$ROOT$lib"
    done
}

PKG=$(kernel_package)
KERNEL_DIR=$(fetch_kernel "$PKG")
VMLINUZ=$(ls "$KERNEL_DIR"/boot/vmlinuz-* | head -1)
MODULES=$(ls -d "$KERNEL_DIR"/lib/modules/* | head -1)

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
ROOT=$WORK/root
mkdir -p "$ROOT"/{bin,dev,proc,sys,run,tmp,lib/modules,usr/bin}
install -m 755 "$BUSYBOX" "$ROOT/bin/busybox"
LOAD_ORDER=""
for module in hid hid-generic uhid; do
    add_module "$module"
done
echo "$LOAD_ORDER" >"$ROOT/lib/modules/load-order"
install -m 755 "$DAEMON" "$ROOT/usr/bin/zephyrine-uhid-supply"
add_dynamic "$WINDOW_STAND_IN"
add_dynamic "$CLI"
install -m 755 "$HERE/guest-init.sh" "$ROOT/init"
install -m 644 "$HERE/guest-checks.sh" "$ROOT/guest-checks.sh"
install -m 644 "$HERE/guest-faults.sh" "$ROOT/guest-faults.sh"
(cd "$ROOT" && find . -print0 | cpio --null -o -H newc -R 0:0 --quiet) | gzip -1 >"$WORK/initrd.gz"

echo "e2e: booting $(basename "$VMLINUZ") (modules:$LOAD_ORDER)"
CONSOLE=$WORK/console.log
# TCG only: KVM hangs on this machine. No network card, so no option ROM to wait for.
timeout "$GUEST_TIMEOUT_S" qemu-system-x86_64 -accel tcg -m 512 -smp 1 -nographic -no-reboot -nic none \
    -kernel "$VMLINUZ" -initrd "$WORK/initrd.gz" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1" </dev/null >"$CONSOLE" 2>&1 || true
tr -d '\r' <"$CONSOLE" >"$CONSOLE.txt"
if [ -n "$LOG_DIR" ]; then
    mkdir -p "$LOG_DIR"
    cp "$CONSOLE.txt" "$LOG_DIR/e2e-console.log"
fi

grep -a -E '^E2E (NODE|CHECK|DETAIL|DENIED|TIMEOUT|FATAL|FIGURE|FAULT NODE)' "$CONSOLE.txt" || true
status=0
for check in a b c d e f g h late silent signal flood replug twin; do
    if ! grep -aq "^E2E CHECK ($check) .*: PASS$" "$CONSOLE.txt"; then
        echo "e2e: check ($check) did not pass" >&2
        status=1
    fi
done
grep -aq '^E2E END$' "$CONSOLE.txt" || { echo "e2e: the guest did not finish its schedule" >&2; status=1; }
if [ "$status" -ne 0 ]; then
    echo "---- guest console ----"
    cat "$CONSOLE.txt"
fi
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
printf 'e2e: %s in %d.%03d s\n' "$([ "$status" -eq 0 ] && echo passed || echo FAILED)" $((elapsed_ms / 1000)) $((elapsed_ms % 1000))
exit "$status"
