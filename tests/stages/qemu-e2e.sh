#!/usr/bin/env bash
# The channel and the cli against the real kernel HID stack, in a QEMU guest with a uhid supply.
# Usage: qemu-e2e.sh BUILD_DIR OUT_DIR
source "$(dirname "$0")/../../scripts/lib.sh"
ensure_packages qemu-system-x86 busybox-static cpio xz-utils
exec bash "$ROOT/tests/e2e/run-qemu-e2e.sh" "$1" "$2"
