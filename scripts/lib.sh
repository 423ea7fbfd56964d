# Shared by the scripts and the stages.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=${JOBS:-$(nproc)}

# Installs the Debian packages that are missing, as root (or through sudo).
ensure_packages() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# desktop-file-utils: settings_tests checks the autostart entry with desktop-file-validate. clang and
# libclang-rt-14-dev (where Debian 12 ships libFuzzer): the fuzzers. python3-pil, fonts-wqy-microhei,
# libxml2-utils and w3c-sgml-lib: ArtworkTest redraws the artwork and validates the SVG icon.
BUILD_PACKAGES=(cmake ninja-build g++ ccache pkg-config libgtest-dev libgmock-dev googletest qt6-base-dev
                libudev-dev desktop-file-utils clang libclang-rt-14-dev
                python3-pil fonts-wqy-microhei libxml2-utils w3c-sgml-lib)

# What making the Debian package needs besides (scripts/package-linux): man pages from --help, the hardening flags,
# and the tools cpack's dependency search runs.
PACKAGE_PACKAGES=(help2man dpkg-dev file)

# Paths relative to the checkout, so a fresh clone elsewhere still hits the compiler cache.
export CCACHE_BASEDIR=$ROOT
export CCACHE_NOHASHDIR=true

# Warnings are errors in CI only: elsewhere a newer compiler's new warning should not stop a build.
WERROR=OFF
[ "${CI:-}" = "true" ] && WERROR=ON

# The Windows cross build's options: every stage that builds it passes the same, so that none leaves ninja work
# to redo for another.
MINGW_OPTIONS=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel
               -DZEPHYRINE_BUILD_GUI=OFF -DZEPHYRINE_WERROR="$WERROR")

# DLLs that come with every Windows; a statically linked .exe needs no other.
SYSTEM_DLLS="^(kernel32|msvcrt|advapi32|setupapi|hid|user32|gdi32|gdiplus|shell32|comctl32|comdlg32|ole32|oleaut32|msimg32|uxtheme|ws2_32|shlwapi|imm32|winmm|version|dwmapi|windowscodecs)\.dll$"
# imported_dlls EXE: the DLLs a Windows .exe imports, one a line.
imported_dlls() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/.*DLL Name: //p' | sort -u
}
# foreign_dlls EXE: those of them that Windows does not bring; fails when the file cannot be read.
foreign_dlls() {
    local dlls
    dlls=$(imported_dlls "$1") || return 1
    grep -viE "$SYSTEM_DLLS" <<<"$dlls" || true
}

# schedstat_sum FIELD PID...: a field of the scheduler's own per-thread count (/proc/PID/task/*/schedstat: 1 the
# CPU time in ns, 3 how often the thread was put on a processor), summed over the processes' threads. Exact,
# where /proc/PID/stat counts CPU in 10 ms ticks and an idle minute is a few of those. A thread that has ended
# is no longer counted, so the threads measured must outlive the measurement.
schedstat_sum() {
    local field=$1 pid
    shift
    for pid in "$@"; do cat /proc/"$pid"/task/*/schedstat; done |
        awk -v f="$field" '{ n += $f } END { printf "%.0f\n", n }'
}

# cpu_ms PID...: the CPU time of the processes' threads so far, summed, in ms.
cpu_ms() { echo $(($(schedstat_sum 1 "$@") / 1000000)); }

# configure_build_dir DIR [cmake options...]
configure_build_dir() {
    local dir=$1
    shift
    local launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
    configure_build_dir "$@" && cmake --build "$1" -j "$JOBS"
}

# link_wine_chinese_font: Wine's system font has no Chinese characters; as on a Chinese Windows, a font that has
# them is linked to it, so that titles, menus and boxes show theirs (needs fonts-wqy-microhei). Runs through
# the caller's in_wine function, which runs a command in the caller's prefix.
link_wine_chinese_font() {
    in_wine wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v Tahoma \
        /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
}

# boot_wine_desktop: makes the fresh prefix of the caller's in_wine function (which runs a command with the
# prefix's environment and a DISPLAY) and puts every later program into a 1366 x 768 virtual desktop. Without a
# window manager Wine waits about 2 s on every window it hides; in a virtual desktop it does not, and draws
# the frames itself. wineboot's own desktop lives on while its processes do, and a program started meanwhile
# would join it, so the server is let end (saving the registry) before it starts anew and stays up. Wine
# initialises a new prefix before the first program it runs there, and a plain wineboot only waits for that:
# "wineboot -i" would initialise it once more and leave two services.exe, after which RpcSs fails to start and
# every program that needs it waits 10 s for it (Wine 8.0). Needs the packages in WINE_DESKTOP_PACKAGES.
WINE_DESKTOP_PACKAGES=(xvfb fonts-wine fonts-wqy-microhei)
boot_wine_desktop() {
    in_wine wineboot >/dev/null 2>&1
    link_wine_chinese_font
    in_wine wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    in_wine wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1366x768 /f >/dev/null 2>&1
    in_wine wineserver -w
    in_wine wineserver -p
    # The prefix's services start with the first program and keep its standard output: that program's output
    # must go nowhere, or a pipe reading a later one would never see its end.
    in_wine wineboot >/dev/null 2>&1
}
