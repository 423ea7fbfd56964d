#!/usr/bin/env bash
# The Windows stage: cross-builds with mingw-w64, then runs under wine, in a fresh prefix of its own, every unit
# suite built for Windows (the Win32 layer's suites among them), compares zephyrine-cli.exe with the native cli and
# the Win32 image decoder with Qt's.
#
#   scripts/windows-tests.sh NATIVE_BUILD_DIR [MINGW_BUILD_DIR]
#
# NATIVE_BUILD_DIR holds a Linux build with src/cli/zephyrine-cli and tests/ui/qt/zephyrine_image_digests;
# MINGW_BUILD_DIR defaults to build-mingw.
# Ends with "N passed, M failed" and exits non-zero on any failure.
source "$(dirname "$0")/lib.sh"
source "$ROOT/scripts/wine-session.sh"

NATIVE=${1:?usage: $0 NATIVE_BUILD_DIR [MINGW_BUILD_DIR]}
BUILD=${2:-$ROOT/build-mingw}
NATIVE=$(cd "$NATIVE" && pwd)

# The Wine deviation this stage must not count: wine's profile functions rewrite the whole file from a parsed
# copy and so drop blank lines, which Windows keeps (wine's own tests mark that as a known difference).
WINE_DEVIATIONS=(ModeSettingsTest.BlankLinesSurviveASave)

passed=0
failed=0
skipped=0
failures=()
check() { # check NAME OK(0/1)
    if [ "$2" -eq 0 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failures+=("$1")
    fi
}

stage_start=$SECONDS
ensure_packages cmake ninja-build googletest mingw-w64 wine wine64 x11-utils "${WINE_DESKTOP_PACKAGES[@]}"

echo "--- build ($BUILD)"
build_start=$SECONDS
if ! configure_and_build "$BUILD" "${MINGW_OPTIONS[@]}"; then
    echo "--- build FAILED"
    echo "0 passed, 1 failed"
    exit 1
fi
build_seconds=$((SECONDS - build_start))

mapfile -t exes < <(find "$BUILD" -name '*.exe' -not -path '*/CMakeFiles/*' -not -path '*/googletest/*' | sort)
mapfile -t suites < <(printf '%s\n' "${exes[@]}" | grep '/tests/' | grep -v -E '_(probe|digests_win32)\.exe$' || true)

echo "--- sizes and imports"
for exe in "${exes[@]}"; do
    dlls=$(imported_dlls "$exe" | tr '\n' ' ')
    foreign=$(foreign_dlls "$exe" | tr '\n' ' ')
    printf '%8d KiB  %-28s %s\n' $(($(stat -c %s "$exe") / 1024)) "$(basename "$exe")" "$dlls"
    [ -z "$foreign" ] || echo "    needs DLLs that Windows does not bring: $foreign"
    check "imports of $(basename "$exe")" "$([ -z "$foreign" ] && echo 0 || echo 1)"
done

# A fresh prefix for every run, removed at the end; the window suites need its display.
echo "--- wineboot"
boot_start=$SECONDS
start_wine_session
boot_seconds=$((SECONDS - boot_start))
mkdir -p "$RUN/bin"
cp "${exes[@]}" "$RUN/bin/"
give_to_wine "$RUN/bin"

echo "--- unit suites under wine"
tests_start=$SECONDS
filter="-$(IFS=:; echo "${WINE_DEVIATIONS[*]}")"
for suite in "${suites[@]}"; do
    name=$(basename "$suite")
    log="$RUN/$name.log"
    status=0
    in_wine timeout 300 wine "bin/$name" --gtest_brief=1 --gtest_filter="$filter" >"$log" 2>&1 || status=$?
    sed -i 's/\r$//' "$log" # Windows line ends
    ok=$(sed -n -E 's/^\[  PASSED  \] ([0-9]+) tests?\.$/\1/p' "$log" | tail -1)
    bad=$(sed -n -E 's/^\[  FAILED  \] ([0-9]+) tests?, listed below:$/\1/p' "$log" | tail -1)
    ok=${ok:-0}
    bad=${bad:-0}
    if { [ "$status" -ne 0 ] || [ "$ok" -eq 0 ]; } && [ "$bad" -eq 0 ]; then
        bad=1 # crashed, hung, never started or ran nothing
    fi
    passed=$((passed + ok))
    failed=$((failed + bad))
    echo "$name: $ok passed, $bad failed (exit $status)"
    if [ "$bad" -ne 0 ]; then
        failures+=("$name")
        grep -v -E '^\[ +(OK|RUN) +\]' "$log" | tail -40
    fi
done
skipped=${#WINE_DEVIATIONS[@]}
printf 'not run under wine: %s\n' "${WINE_DEVIATIONS[@]}"

echo "--- zephyrine-cli.exe against the native cli"
cli_exe=$(printf '%s\n' "${exes[@]}" | grep '/zephyrine-cli\.exe$' || true)
native_cli="$NATIVE/src/cli/zephyrine-cli"
compare_cli() { # compare_cli ARGS...
    local label="zephyrine-cli $*"
    if [ -z "$cli_exe" ] || [ ! -x "$native_cli" ]; then
        echo "$label: needs both $native_cli and zephyrine-cli.exe"
        check "$label" 1
        return
    fi
    local linux_out="$RUN/cli-linux.txt" wine_out="$RUN/cli-wine.txt"
    "$native_cli" "$@" >"$linux_out" 2>&1 &
    local native_pid=$!
    in_wine timeout 120 wine bin/zephyrine-cli.exe "$@" 2>&1 | tr -d '\r' >"$wine_out" || true
    wait "$native_pid" || true
    if [ -s "$linux_out" ] && cmp -s "$linux_out" "$wine_out"; then
        echo "$label: same $(wc -l <"$linux_out") lines"
        check "$label" 0
    else
        echo "$label: outputs differ"
        diff "$linux_out" "$wine_out" | head -20 || true
        check "$label" 1
    fi
}
compare_cli --simulate --count 2 --json
compare_cli --simulate --seed 4242 --count 6 --interval 1 --json --mode temp --fan 1500

echo "--- the embedded pictures: the Win32 decoder against Qt's"
# Lines that may differ in the pixels' hash only. Qt's ICO reader applies an entry's AND mask with
# QImage::setAlphaChannel, which leaves the picture premultiplied (Qt 6.4, plugins/imageformats/ico); back to
# straight alpha, a partly transparent pixel's colour can lose a level (8 corner pixels of the 32-pixel entry).
# WIC hands the entry's bytes over unchanged, as Qt does for the same picture as a PNG ("icon 128").
DIGEST_DEVIATIONS=("ico 128")
native_digests="$NATIVE/tests/ui/qt/zephyrine_image_digests"
digests_exe=$(printf '%s\n' "${exes[@]}" | grep '/zephyrine_image_digests_win32\.exe$' || true)
if [ -z "$digests_exe" ] || [ ! -x "$native_digests" ]; then
    echo "image digests: needs both $native_digests and zephyrine_image_digests_win32.exe"
    check "image digests" 1
else
    "$native_digests" >"$RUN/digests-qt.txt" 2>&1 || true
    in_wine timeout 120 wine bin/zephyrine_image_digests_win32.exe 2>&1 | tr -d '\r' >"$RUN/digests-win32.txt" || true
    deviating=$(IFS='|'; echo "${DIGEST_DEVIATIONS[*]}")
    comparable() { sed -E "s/^(($deviating) [0-9]+ [0-9]+ [0-9]+ [01]) [0-9a-f]+$/\1/" "$1"; }
    if [ -s "$RUN/digests-qt.txt" ] && cmp -s <(comparable "$RUN/digests-qt.txt") \
        <(comparable "$RUN/digests-win32.txt"); then
        echo "image digests: same $(wc -l <"$RUN/digests-qt.txt") lines, hashes aside for: ${DIGEST_DEVIATIONS[*]}"
        diff "$RUN/digests-qt.txt" "$RUN/digests-win32.txt" | grep '^[<>]' || true
        check "image digests" 0
    else
        echo "image digests: outputs differ"
        diff "$RUN/digests-qt.txt" "$RUN/digests-win32.txt" | head -20 || true
        check "image digests" 1
    fi
fi
tests_seconds=$((SECONDS - tests_start))

echo
echo "windows stage: $((SECONDS - stage_start)) s (build ${build_seconds} s, wineboot ${boot_seconds} s, tests under wine ${tests_seconds} s)"
[ ${#failures[@]} -eq 0 ] || printf 'Failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
