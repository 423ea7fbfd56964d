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

BUILD_PACKAGES=(cmake ninja-build g++ ccache pkg-config libgtest-dev libgmock-dev googletest qt6-base-dev
                libudev-dev)

# Paths relative to the checkout, so a fresh clone elsewhere still hits the compiler cache.
export CCACHE_BASEDIR=$ROOT
export CCACHE_NOHASHDIR=true

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

# The mingw-w64 cross build. The Windows stages and the packages use the same options, so that one build directory
# serves them all without rebuilding.
MINGW_OPTIONS=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel
               -DZEPHYRINE_BUILD_GUI=OFF -DZEPHYRINE_WERROR="$([ "${CI:-}" = "true" ] && echo ON || echo OFF)")

# DLLs that come with every Windows; a statically linked .exe needs no other.
WINDOWS_SYSTEM_DLLS="^(kernel32|msvcrt|advapi32|setupapi|hid|user32|gdi32|gdiplus|shell32|comctl32|comdlg32|ole32|oleaut32|msimg32|uxtheme|ws2_32|shlwapi|imm32|winmm|version|dwmapi|windowscodecs)\.dll$"

# windows_imports EXE: the DLLs it imports, one a line.
windows_imports() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/.*DLL Name: //p' | sort -u
}
