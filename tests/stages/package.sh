#!/usr/bin/env bash
# The Debian package as a packager and a user meet it: built by scripts/package-linux, judged by lintian, appstreamcli
# and desktop-file-validate, its man pages rendered, its icons measured, then installed, started as an ordinary user
# from its desktop entry under Xvfb (the logo shows), and purged without a trace. Also cmake --install under a
# prefix with a blank: the desktop entry still starts the program.
# Usage: package.sh BUILD_DIR OUT_DIR (the package gets its own build in OUT_DIR/package).
source "$(dirname "$0")/../../scripts/lib.sh"
ensure_packages "${PACKAGE_PACKAGES[@]}" lintian appstream desktop-file-utils man-db groff-base xvfb xdotool \
    x11-utils x11-apps imagemagick python3-pil
# Every check reports and the stage goes on to the next.
set +e
OUT=$2/package
BUILD=$OUT/build
TOOLS=$ROOT/tests/packaging
mkdir -p "$OUT"
WORK=$(mktemp -d)
USER_NAME=zephyrine-stage
XVFB_PID=""
APP_PID=""
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    dpkg -s zephyrine >/dev/null 2>&1 && dpkg --purge zephyrine >/dev/null 2>&1 || true
    id "$USER_NAME" >/dev/null 2>&1 && userdel -r "$USER_NAME" >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT
failures=0
check() { # check NAME STATUS
    if [ "$2" -eq 0 ]; then echo "check: $1: ok"; else echo "check: $1: FAILED"; failures=$((failures + 1)); fi
}

if [ "$(id -u)" -ne 0 ]; then
    echo "package: needs root (installs the package and adds a user)"
    exit 1
fi
if dpkg -s zephyrine >/dev/null 2>&1; then
    echo "package: a zephyrine package is installed already; not touching it"
    exit 1
fi

bash "$ROOT/scripts/package-linux" "$BUILD" "$OUT/dist" || { echo "package: build FAILED"; exit 1; }
DEB=$(ls "$OUT"/dist/zephyrine_*_amd64.deb | tail -1)
echo "package: $DEB, $(dpkg-deb -f "$DEB" Installed-Size) KiB installed"

# 1. lintian: no error and no warning, pedantic tags shown.
lintian --pedantic --display-info "$DEB" 2>/dev/null | tee "$OUT/lintian.txt"
! grep -qE '^[EW]: ' "$OUT/lintian.txt"
check "lintian: no E: or W:" $?

TREE=$WORK/tree
dpkg-deb -x "$DEB" "$TREE"
# 2. Man pages in section 1, rendered without a warning.
for page in Zephyrine zephyrine-cli; do
    file=$TREE/usr/share/man/man1/$page.1.gz
    errors=$( { LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" >"$OUT/$page.1.txt"; } 2>&1)
    [ -f "$file" ] && [ -z "$errors" ] && grep -q "^SYNOPSIS" "$OUT/$page.1.txt" && grep -q "^FILES" "$OUT/$page.1.txt"
    check "man page $page(1) renders${errors:+: $errors}" $?
done
# 3. AppStream metadata.
appstreamcli validate --no-net "$TREE/usr/share/metainfo/org.zephyrine.Zephyrine.metainfo.xml" 2>&1 |
    tee "$OUT/appstream.txt"
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] && ! grep -qE '^[EW]: ' "$OUT/appstream.txt"
check "appstreamcli validate: no error or warning" $?
grep -q '<modalias>usb:v04D8p003F\*</modalias>' "$TREE/usr/share/metainfo/org.zephyrine.Zephyrine.metainfo.xml"
check "metainfo provides the supply's modalias" $?
# 4. Icons.
/usr/bin/python3 - "$TREE/usr/share/icons/hicolor" <<'PY'
import pathlib, sys
from PIL import Image
root = pathlib.Path(sys.argv[1])
bad = 0
for n in (16, 22, 24, 32, 48, 64, 128, 256):
    size = Image.open(root / f"{n}x{n}/apps/zephyrine.png").size
    bad += size != (n, n)
    print(f"icon {n}x{n}: {size[0]} x {size[1]}")
svg = (root / "scalable/apps/zephyrine.svg").read_text()
bad += "<svg" not in svg
sys.exit(bad)
PY
check "hicolor icons 16 to 256 and scalable" $?
# 5. Desktop entry.
ENTRY=$TREE/usr/share/applications/org.zephyrine.Zephyrine.desktop
desktop-file-validate "$ENTRY"
check "desktop-file-validate on the desktop entry" $?
[ "$("$TOOLS/desktop_entry.py" "$ENTRY" Path)" = /usr/share/zephyrine ] && [ -f "$TREE/usr/share/zephyrine/logo.png" ] &&
    [ ! -e "$TREE/usr/bin/logo.png" ]
check "logo.png in /usr/share/zephyrine, where the entry starts the program" $?

# cmake --install under a prefix with a blank: each file once, an entry that decodes to the program.
PREFIX="$WORK/opt/my apps"
cmake --install "$BUILD" --prefix "$PREFIX" >"$OUT/install.log" 2>&1
check "cmake --install under a prefix with a blank" $?
duplicates=$(sed -n 's/^-- \(Installing\|Up-to-date\): //p' "$OUT/install.log" | sort | uniq -d)
[ -z "$duplicates" ]
check "each file installed once${duplicates:+: $duplicates}" $?
grep -q "udev reads no rules under $PREFIX" "$OUT/install.log"
check "the udev message says the rule must be copied for this prefix" $?
desktop-file-validate "$PREFIX/share/applications/org.zephyrine.Zephyrine.desktop" &&
    [ "$("$TOOLS/desktop_entry.py" --exec "$PREFIX/share/applications/org.zephyrine.Zephyrine.desktop" Exec)" = \
        "$PREFIX/bin/Zephyrine" ] &&
    [ "$("$TOOLS/desktop_entry.py" "$PREFIX/share/applications/org.zephyrine.Zephyrine.desktop" Path)" = \
        "$PREFIX/share/zephyrine" ]
check "the entry's Exec and Path decode to the program and its data under the blank prefix" $?

# Install, start as a user the way a desktop does, purge. The user comes first: adding one changes /etc.
useradd -m "$USER_NAME" || { echo "package: useradd FAILED"; exit 1; }
list_system() { find /usr /etc /lib /opt 2>/dev/null | sort || true; }
list_system >"$WORK/before.txt"
dpkg -i "$DEB" >"$OUT/dpkg-install.log" 2>&1
check "dpkg -i" $?
RUNTIME=$WORK/runtime
mkdir -m 700 "$RUNTIME" && chown "$USER_NAME" "$RUNTIME"
chmod 755 "$WORK"
for n in $(seq 141 190); do
    [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] && break
done
Xvfb ":$n" -screen 0 1366x768x24 -dpi 96 -nolisten tcp >"$OUT/xvfb.log" 2>&1 &
XVFB_PID=$!
export DISPLAY=:$n
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
INSTALLED=/usr/share/applications/org.zephyrine.Zephyrine.desktop
mapfile -t EXEC < <("$TOOLS/desktop_entry.py" --exec "$INSTALLED" Exec)
DIRECTORY=$("$TOOLS/desktop_entry.py" "$INSTALLED" Path)
WM_CLASS=$("$TOOLS/desktop_entry.py" "$INSTALLED" StartupWMClass)
(cd "$DIRECTORY" && exec runuser -u "$USER_NAME" -- env -i HOME="/home/$USER_NAME" DISPLAY="$DISPLAY" \
    XDG_RUNTIME_DIR="$RUNTIME" PATH=/usr/bin:/bin "${EXEC[@]}") >"$OUT/window.log" 2>&1 &
APP_PID=$!
WINDOW=""
for _ in $(seq 150); do
    WINDOW=$(xdotool search --onlyvisible --class "^$WM_CLASS\$" 2>/dev/null | head -1 || true)
    [ -n "$WINDOW" ] && break
    sleep 0.1
done
[ -n "$WINDOW" ]
check "the user's window is shown, of class $WM_CLASS (StartupWMClass)" $?
if [ -n "$WINDOW" ]; then
    sleep 1
    xwd -root -silent | convert xwd:- "$OUT/installed-window.png"
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    "$TOOLS/logo_shown.py" "$OUT/installed-window.png" /usr/share/zephyrine/logo.png $((X + 80)) $((Y + 20))
    check "the logo shows in the window started from the desktop entry" $?
    [ -f "/home/$USER_NAME/.config/autostart/Zephyrine.desktop" ] &&
        desktop-file-validate "/home/$USER_NAME/.config/autostart/Zephyrine.desktop" &&
        [ "$("$TOOLS/desktop_entry.py" "/home/$USER_NAME/.config/autostart/Zephyrine.desktop" Path)" = \
            /usr/share/zephyrine ]
    check "the autostart entry it wrote is valid and starts it where the logo is" $?
fi
kill "$APP_PID" 2>/dev/null
wait "$APP_PID" 2>/dev/null
APP_PID=""
dpkg --purge zephyrine >"$OUT/dpkg-purge.log" 2>&1
check "dpkg --purge" $?
list_system >"$WORK/after.txt"
left=$(comm -13 "$WORK/before.txt" "$WORK/after.txt" | grep -v -E '/(icon-theme|mimeinfo)\.cache$' || true)
[ -z "$left" ]
check "nothing of the package is left in /usr, /etc, /lib, /opt${left:+: $left}" $?

echo "package: $failures failed"
[ "$failures" -eq 0 ]
