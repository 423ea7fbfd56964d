#!/usr/bin/env bash
# The Windows packages that cpack makes (packaging/windows/). The portable zip: its exact file list, its programs
# the build's own stripped and importing system DLLs only, its readme's CRLF line ends. The per-user installer, under
# Wine in a fresh prefix whose user name holds a blank (as "C:\Users\First Last" does): the files, shortcut and
# uninstall entry it leaves; the installed program started from there; the uninstaller refusing while a program
# file is in use, ending the running window as its tray menu does, and removing everything but the user's mode file,
# and a start at log-on only when it starts the copy removed.
# Usage: windows-package.sh BUILD_DIR OUT_DIR
# Builds into OUT_DIR/mingw with the options of the windows stage, so that the two share one build.
source "$(dirname "$0")/../../scripts/lib.sh"
source "$ROOT/scripts/wine-session.sh"

mkdir -p "$2"
BUILD=$(cd "$2" && pwd)/mingw
# Outside the build directory, where the windows stage takes every .exe for a test suite.
PACKAGES=$(cd "$2" && pwd)/windows-package
WINDOWS_USER="Zephyrine Tester"
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zephyrine'
CONFIG_FILE=HalcyraConfig@Ostrel.ini

passed=0
failed=0
failures=()
check() { # check NAME COMMAND...
    if "${@:2}"; then
        passed=$((passed + 1))
        echo "ok    $1"
    else
        failed=$((failed + 1))
        failures+=("$1")
        echo "FAIL  $1"
    fi
}
same_text() { # same_text EXPECTED ACTUAL: prints the difference when they differ
    [ "$1" = "$2" ] && return 0
    diff <(printf '%s\n' "$1") <(printf '%s\n' "$2") | sed 's/^/      /'
    return 1
}

stage_start=$SECONDS
ensure_packages cmake ninja-build mingw-w64 nsis zip unzip wine wine64 python3 "${WINE_DESKTOP_PACKAGES[@]}"

echo "--- build and package ($BUILD)"
build_start=$SECONDS
rm -rf "$PACKAGES"
if configure_and_build "$BUILD" "${MINGW_OPTIONS[@]}"; then
    (cd "$BUILD" && cpack -B "$PACKAGES" >/dev/null) || true
fi
build_seconds=$((SECONDS - build_start))
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt" 2>/dev/null || true)
ZIP=$PACKAGES/Zephyrine-$VERSION-windows-x64.zip
SETUP=$PACKAGES/Zephyrine-$VERSION-setup.exe
if [ ! -f "$ZIP" ] || [ ! -f "$SETUP" ]; then
    echo "--- build or cpack FAILED: no $(basename "$ZIP") and $(basename "$SETUP") in $PACKAGES"
    echo "0 passed, 1 failed"
    exit 1
fi
TOP=Zephyrine-$VERSION-windows-x64
# Relative to the program's directory.
PACKAGED_FILES="README.txt
Zephyrine.exe
licenses/
licenses/LICENSE-Apache-2.0.txt
licenses/OFL-DSEG.txt
logo.png
zephyrine-cli.exe"
BUILT_PROGRAMS=("$BUILD/src/ui/win32/Zephyrine.exe" "$BUILD/src/cli/zephyrine-cli.exe")
# Each packaged file but the programs, and where it comes from.
SOURCES=("logo.png:$ROOT/res/images/logo.png"
         "licenses/OFL-DSEG.txt:$ROOT/res/fonts/OFL-DSEG.txt"
         "licenses/LICENSE-Apache-2.0.txt:$ROOT/res/fonts/LICENSE-Apache-2.0.txt"
         "README.txt:$BUILD/packaging/windows/README.txt")

boot_start=$SECONDS
start_wine_session "$WINDOWS_USER"
boot_seconds=$((SECONDS - boot_start))
checks_start=$SECONDS

# A program file the build's program stripped: no symbols, no debug sections, and apart from the time stamp and
# checksum in its header, which strip writes anew, the same bytes as a copy stripped here.
stripped_build_of() { # stripped_build_of BUILT PACKAGED
    local reference
    reference=$RUN/stripped-$(basename "$1")
    x86_64-w64-mingw32-strip -o "$reference" "$1" &&
        [[ "$(x86_64-w64-mingw32-nm "$2" 2>&1)" == *"no symbols"* ]] &&
        [ -z "$(x86_64-w64-mingw32-objdump -h "$2" | grep '\.debug')" ] &&
        [ "$(stat -c %s "$reference")" = "$(stat -c %s "$2")" ] &&
        [ -z "$(cmp -l "$reference" "$2" | awk '$1 > 512')" ]
}
imports_system_dlls_only() {
    local foreign
    foreign=$(imported_dlls "$1" | grep -viE "$SYSTEM_DLLS" || true)
    [ -z "$foreign" ] || echo "      needs $foreign"
    [ -n "$(imported_dlls "$1")" ] && [ -z "$foreign" ]
}
has_crlf_lines_only() {
    local lines crlf
    lines=$(wc -l <"$1")
    crlf=$(grep -c $'\r$' "$1")
    [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] && [ "$(tail -c 1 "$1" | od -An -c | tr -d ' ')" = '\n' ]
}
no_placeholder() { ! grep -qE '@[A-Z_]+@' "$1"; }
# The files of a program directory as PACKAGED_FILES lists them.
listing() { (cd "$1" && find . -mindepth 1 \( -type d -printf '%P/\n' -o -printf '%P\n' \) | LC_ALL=C sort); }

echo "--- the portable zip ($(stat -c %s "$ZIP") bytes)"
check "the zip holds exactly the program's files, in $TOP/" \
    same_text "$(sed "s|^|$TOP/|" <<<"$PACKAGED_FILES")" "$(unzip -Z1 "$ZIP" | LC_ALL=C sort)"
unzip -q "$ZIP" -d "$RUN/zip"
PORTABLE=$RUN/zip/$TOP
for built in "${BUILT_PROGRAMS[@]}"; do
    name=$(basename "$built")
    check "zip: $name is the build's, stripped" stripped_build_of "$built" "$PORTABLE/$name"
    check "zip: $name imports system DLLs only ($(imported_dlls "$PORTABLE/$name" | tr '\n' ' '))" \
        imports_system_dlls_only "$PORTABLE/$name"
done
for entry in "${SOURCES[@]}"; do
    check "zip: ${entry%%:*} is ${entry#*:}" cmp -s "${entry#*:}" "$PORTABLE/${entry%%:*}"
done
check "zip: README.txt has CRLF line ends only" has_crlf_lines_only "$PORTABLE/README.txt"
check "zip: README.txt has no placeholder left" no_placeholder "$PORTABLE/README.txt"
check "zip: zephyrine-cli.exe --version runs and says $VERSION" same_text "zephyrine-cli $VERSION" \
    "$(in_wine timeout 60 wine "$PORTABLE/zephyrine-cli.exe" --version 2>&1 | tr -d '\r')"

echo "--- the installer ($(stat -c %s "$SETUP") bytes), silent, as $WINDOWS_USER"
# reg_values KEY: "NAME<tab>TYPE<tab>DATA" lines; none when the key does not exist.
reg_values() {
    in_wine wine reg query "$1" 2>/dev/null | tr -d '\r' |
        sed -n -E 's/^    (.+)    (REG_[A-Z_]+)    (.*)$/\1\t\2\t\3/p' || true
}
reg_value() { reg_values "$1" | awk -F '\t' -v name="$2" '$1 == name { print $3 }'; }
shell_folders=$(reg_values 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders')
folder() { awk -F '\t' -v name="$1" '$1 == name { print $3 }' <<<"$shell_folders"; }
# Wine's C: is drive_c in the prefix.
unix_path() { sed -e "s|^[Cc]:|$RUN/prefix/drive_c|" -e 's|\\|/|g' <<<"$1"; }
INSTDIR="$(folder 'Local AppData')\\Programs\\Zephyrine"
SHORTCUT="$(folder Programs)\\Zephyrine.lnk"
INSTALLED=$(unix_path "$INSTDIR")
SHORTCUT_FILE=$(unix_path "$SHORTCUT")
echo "      installs to $INSTDIR"
cp "$SETUP" "$RUN/setup.exe"
give_to_wine "$RUN/setup.exe"
install_silently() {
    local status=0
    in_wine timeout 120 wine setup.exe /S || status=$?
    [ "$status" -eq 0 ] || echo "      exit code $status"
    [ "$status" -eq 0 ]
}
installed_files_are_the_zips() {
    local name ok=0
    for built in "${BUILT_PROGRAMS[@]}"; do
        name=$(basename "$built")
        stripped_build_of "$built" "$INSTALLED/$name" || { echo "      $name differs" && ok=1; }
    done
    for entry in "${SOURCES[@]}"; do
        cmp -s "$PORTABLE/${entry%%:*}" "$INSTALLED/${entry%%:*}" || { echo "      ${entry%%:*} differs" && ok=1; }
    done
    return $ok
}
wait_until() { # wait_until SECONDS COMMAND...: tries COMMAND every 0.1 s
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
# The uninstaller that the uninstall entry names copies itself to the temporary folder, starts the copy and
# returns at once: wait until no such copy runs in this prefix.
no_uninstaller_copy() {
    local pid
    for pid in $(pgrep -f '[\\]~nsu[^\\]*[.]tmp[\\]' || true); do
        [[ $'\n'"$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null)"$'\n' != *$'\n'"WINEPREFIX=$RUN/prefix"$'\n'* ]] ||
            return 1
    done
}
uninstall_silently() {
    local command status=0
    command=$(reg_value "$UNINSTALL_KEY" UninstallString)
    # The entry's command is the quoted path, as Windows wants it; wine takes the path alone.
    in_wine timeout 60 wine "$(sed -E 's/^"(.*)"$/\1/' <<<"$command")" /S || status=$?
    [ -n "$command" ] && [ "$status" -eq 0 ] && wait_until 60 no_uninstaller_copy
}
# An uninstall in place (NSIS's "_?=" names the directory and keeps the uninstaller from copying itself) waits
# and returns the uninstaller's exit code; it runs from a batch file, so that the blank in the path reaches it as is.
uninstall_in_place() {
    printf '@"%s\\Uninstall.exe" /S _?=%s\r\n@exit /b %%errorlevel%%\r\n' "$INSTDIR" "$INSTDIR" \
        >"$RUN/prefix/drive_c/uninstall-in-place.bat"
    in_wine timeout 60 wine cmd /c 'C:\uninstall-in-place.bat'
}
ended() { ! kill -0 "$1" 2>/dev/null; }
exit_code_of() { # exit_code_of PID SECONDS: waits for a process started here to end; 255 if it does not
    wait_until "$2" ended "$1" || return 255
    wait "$1"
}
run_value_set() { [ -n "$(reg_value "$RUN_KEY" Zephyrine)" ]; }

check "the installer runs silently (/S) and ends with exit code 0" install_silently
check "the install directory holds the program's files and Uninstall.exe" \
    same_text "$(LC_ALL=C sort <<<"$PACKAGED_FILES"$'\nUninstall.exe')" "$(listing "$INSTALLED")"
check "the installed files are the zip's" installed_files_are_the_zips
check "the Start-menu shortcut starts Zephyrine.exe in the install directory" \
    same_text "target=$INSTDIR\\Zephyrine.exe"$'\n'"workdir=$INSTDIR" \
    "$(python3 "$ROOT/tests/support/shell_link.py" "$SHORTCUT_FILE" 2>&1)"
entry=$(reg_values "$UNINSTALL_KEY")
while IFS='|' read -r name type data; do
    check "uninstall entry: $name = $data" \
        same_text "$name"$'\t'"$type"$'\t'"$data" "$(awk -F '\t' -v name="$name" '$1 == name' <<<"$entry")"
done <<EOF
DisplayName|REG_SZ|Zephyrine
DisplayVersion|REG_SZ|$VERSION
Publisher|REG_SZ|Zephyrine
UninstallString|REG_SZ|"$INSTDIR\\Uninstall.exe"
QuietUninstallString|REG_SZ|"$INSTDIR\\Uninstall.exe" /S
InstallLocation|REG_SZ|$INSTDIR
NoModify|REG_DWORD|0x1
NoRepair|REG_DWORD|0x1
EOF

echo "--- the uninstaller refuses while zephyrine-cli.exe runs from the install directory"
start_in_wine_at "$INSTALLED" timeout 120 wine "$INSTDIR\\zephyrine-cli.exe" --simulate --count 1000 --interval 100 \
    >"$RUN/cli.log" 2>&1
cli_pid=$WINE_PID
check "the installed zephyrine-cli.exe polls" wait_until 30 grep -q "^poll 1" "$RUN/cli.log"
refusal=0
uninstall_in_place >/dev/null 2>&1 || refusal=$?
check "a silent uninstall gives up with exit code 2 (got $refusal)" [ "$refusal" -eq 2 ]
check "... and leaves every file in place" \
    same_text "$(LC_ALL=C sort <<<"$PACKAGED_FILES"$'\nUninstall.exe')" "$(listing "$INSTALLED")"
check "... and the uninstall entry" [ -n "$(reg_value "$UNINSTALL_KEY" DisplayName)" ]
kill "$cli_pid" 2>/dev/null || true
exit_code_of "$cli_pid" 30 || true

# Not the demo, which registers nothing: with no supply plugged in the window runs as on any machine.
echo "--- Zephyrine.exe started in the install directory, then the uninstaller"
start_in_wine_at "$INSTALLED" wine "$INSTDIR\\Zephyrine.exe" >"$RUN/zephyrine.log" 2>&1
window_pid=$WINE_PID
check "it creates $CONFIG_FILE beside itself" wait_until 60 test -e "$INSTALLED/$CONFIG_FILE"
# The Run value follows the mode file at the start.
wait_until 10 run_value_set || true
check "its Run value starts the installed .exe, quoted" \
    same_text "\"$INSTDIR\\Zephyrine.exe\"" "$(reg_value "$RUN_KEY" Zephyrine)"
# Written again when it ends as its tray menu's exit does, saving its mode; not when it is killed.
rm -f "$INSTALLED/$CONFIG_FILE"
check "the uninstaller (UninstallString /S) runs and its copy finishes" uninstall_silently
window_status=0
exit_code_of "$window_pid" 30 || window_status=$?
check "Zephyrine.exe was ended with exit code 0 (got $window_status)" [ "$window_status" -eq 0 ]
check "it saved its mode on the way out" test -f "$INSTALLED/$CONFIG_FILE"
check "only $CONFIG_FILE is left in the install directory" same_text "$CONFIG_FILE" "$(listing "$INSTALLED")"
check "the shortcut is gone" test ! -e "$SHORTCUT_FILE"
check "the uninstall entry is gone" same_text "" "$(reg_values "$UNINSTALL_KEY")"
check "the Run value is gone" same_text "" "$(reg_value "$RUN_KEY" Zephyrine)"

echo "--- reinstalled, with the Run value starting a copy from the zip, then uninstalled"
cp -r "$PORTABLE" "$RUN/prefix/drive_c/Zephyrine portable"
OTHER_COPY='"C:\Zephyrine portable\Zephyrine.exe"'
check "the installer runs silently again" install_silently
check "it keeps $CONFIG_FILE" test -f "$INSTALLED/$CONFIG_FILE"
in_wine wine reg add "$RUN_KEY" /v Zephyrine /d "$OTHER_COPY" /f >/dev/null 2>&1 || true
check "the Run value starts the copy from the zip" same_text "$OTHER_COPY" "$(reg_value "$RUN_KEY" Zephyrine)"
check "the uninstaller runs and its copy finishes" uninstall_silently
check "only $CONFIG_FILE is left in the install directory" same_text "$CONFIG_FILE" "$(listing "$INSTALLED")"
check "the Run value of the other copy stays" same_text "$OTHER_COPY" "$(reg_value "$RUN_KEY" Zephyrine)"
checks_seconds=$((SECONDS - checks_start))

echo
echo "windows-package stage: $((SECONDS - stage_start)) s (build and cpack ${build_seconds} s, wineboot ${boot_seconds} s," \
    "checks ${checks_seconds} s)"
[ ${#failures[@]} -eq 0 ] || printf 'Failed: %s\n' "${failures[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
