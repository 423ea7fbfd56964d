# Shared by scripts/run and scripts/test.
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

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir=$1
    shift
    local launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
    cmake --build "$dir" -j "$JOBS"
}

# The Windows cross build's options, the same for every stage that builds it, so that a stage run after
# another finds the tree up to date. Warnings are errors in CI only.
MINGW_BUILD_OPTIONS=(-DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/mingw-w64-x86_64.cmake"
                     -DCMAKE_BUILD_TYPE=MinSizeRel -DZEPHYRINE_BUILD_GUI=OFF
                     -DZEPHYRINE_WERROR="$([ "${CI:-}" = "true" ] && echo ON || echo OFF)")
