#!/usr/bin/env bash
# The Windows stage: cross-builds with mingw-w64, then runs under wine, in a fresh prefix of its own, every unit
# suite built for Windows (the Win32 layer's suite among them) and compares zephyrine-cli.exe with the native cli.
#
#   scripts/windows-tests.sh NATIVE_BUILD_DIR [MINGW_BUILD_DIR]
#
# NATIVE_BUILD_DIR holds a Linux build with src/cli/zephyrine-cli; MINGW_BUILD_DIR defaults to build-mingw.
# Ends with "N passed, M failed" and exits non-zero on any failure.
source "$(dirname "$0")/lib.sh"

NATIVE=${1:?usage: $0 NATIVE_BUILD_DIR [MINGW_BUILD_DIR]}
BUILD=${2:-$ROOT/build-mingw}
NATIVE=$(cd "$NATIVE" && pwd)
WERROR=OFF
[ "${CI:-}" = "true" ] && WERROR=ON

# The Wine deviation this stage must not count: wine's profile functions rewrite the whole file from a parsed
# copy and so drop blank lines, which Windows keeps (wine's own tests mark that as a known difference).
WINE_DEVIATIONS=(ModeSettingsTest.BlankLinesSurviveASave)
# DLLs that come with every Windows; a statically linked .exe needs no other.
SYSTEM_DLLS="^(kernel32|msvcrt|advapi32|setupapi|hid|user32|gdi32|gdiplus|shell32|comctl32|comdlg32|ole32|oleaut32|msimg32|uxtheme|ws2_32|shlwapi|imm32|winmm|version|dwmapi)\.dll$"

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
ensure_packages cmake ninja-build googletest mingw-w64 wine wine64

echo "--- build ($BUILD)"
build_start=$SECONDS
if ! configure_and_build "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DZEPHYRINE_BUILD_GUI=OFF -DZEPHYRINE_WERROR="$WERROR"; then
    echo "--- build FAILED"
    echo "0 passed, 1 failed"
    exit 1
fi
build_seconds=$((SECONDS - build_start))

mapfile -t exes < <(find "$BUILD" -name '*.exe' -not -path '*/CMakeFiles/*' -not -path '*/googletest/*' | sort)
mapfile -t suites < <(printf '%s\n' "${exes[@]}" | grep '/tests/' | grep -v '_probe\.exe$' || true)

echo "--- sizes and imports"
for exe in "${exes[@]}"; do
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | sort -u | tr '\n' ' ')
    foreign=$(printf '%s\n' $dlls | grep -viE "$SYSTEM_DLLS" || true)
    printf '%8d KiB  %-28s %s\n' $(($(stat -c %s "$exe") / 1024)) "$(basename "$exe")" "$dlls"
    [ -z "$foreign" ] || echo "    needs DLLs that Windows does not bring: $foreign"
    check "imports of $(basename "$exe")" "$([ -z "$foreign" ] && echo 0 || echo 1)"
done

# A fresh prefix for every run, removed at the end; no display. Wine runs as an unprivileged user, because root
# writes through the read-only attribute that the settings tests rely on.
RUN=$(mktemp -d /tmp/zephyrine-wine.XXXXXX)
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$RUN"
    run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
wine_env=(env -u DISPLAY -u WAYLAND_DISPLAY HOME="$RUN" WINEPREFIX="$RUN/prefix" WINEDEBUG=-all
          WINEDLLOVERRIDES="mscoree,mshtml=")
in_wine() { (cd "$RUN" && "${run_as[@]}" "${wine_env[@]}" "$@"); }
cleanup() {
    in_wine wineserver -k 2>/dev/null || true
    rm -rf "$RUN"
}
trap cleanup EXIT

mkdir -p "$RUN/bin" "$RUN/prefix"
cp "${exes[@]}" "$RUN/bin/"
[ ${#run_as[@]} -eq 0 ] || chown -R nobody:nogroup "$RUN"

echo "--- wineboot"
boot_start=$SECONDS
in_wine wineserver -p # stays up between the programs instead of starting anew for each
in_wine wineboot -i >/dev/null 2>&1
# With no X display wine has no driver to create windows with; its null driver lets the suites create real
# dialogs headless. The desktop process reads the setting when it starts, so the server starts anew.
in_wine wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
in_wine wineserver -k
in_wine wineserver -w
in_wine wineserver -p
boot_seconds=$((SECONDS - boot_start))

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
    if [ "$status" -ne 0 ] && [ "$bad" -eq 0 ]; then
        bad=1 # crashed, hung or never started
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
tests_seconds=$((SECONDS - tests_start))

echo
echo "windows stage: $((SECONDS - stage_start)) s (build ${build_seconds} s, wineboot ${boot_seconds} s, tests under wine ${tests_seconds} s)"
[ ${#failures[@]} -eq 0 ] || printf 'Failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
