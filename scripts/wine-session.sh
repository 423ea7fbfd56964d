# A Wine session of a stage's own, for scripts that have sourced lib.sh: a fresh prefix in a temporary directory and
# an Xvfb of its own, with Wine's windows in a virtual desktop on it (boot_wine_desktop). All of it goes when the
# script exits, however it exits.
# Wine runs as an unprivileged user, because root writes through the read-only attribute that the settings tests
# rely on.
#
#   start_wine_session [WINDOWS_USER]   sets RUN, the session's directory; takes about 10 s
#   in_wine COMMAND...                  runs COMMAND in $RUN in the session
#   start_in_wine_at DIR COMMAND...     starts COMMAND in DIR in the background; WINE_PID is its process
#   give_to_wine PATH...                lets the user Wine runs as write PATH

start_wine_session() {
    RUN=$(mktemp -d /tmp/zephyrine-wine.XXXXXX)
    XVFB_PID=
    run_as=()
    wine_env=()
    trap stop_wine_session EXIT
    trap 'exit 130' INT TERM
    Xvfb -displayfd 3 -screen 0 1366x768x24 -dpi 96 -nolisten tcp 3>"$RUN/display" >"$RUN/xvfb.log" 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 200); do
        [ -s "$RUN/display" ] && break
        sleep 0.1
    done
    [ "$(id -u)" -ne 0 ] || run_as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    wine_env=(env -u WAYLAND_DISPLAY DISPLAY=":$(cat "$RUN/display")" HOME="$RUN" WINEPREFIX="$RUN/prefix"
              WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8)
    # Wine names the profile directory, C:\users\NAME, after $USER.
    [ -z "${1:-}" ] || wine_env+=(USER="$1")
    mkdir -p "$RUN/prefix"
    give_to_wine "$RUN"
    boot_wine_desktop
}

in_wine() {
    (cd "$RUN" && "${run_as[@]}" "${wine_env[@]}" "$@")
}

start_in_wine_at() {
    local dir=$1
    shift
    (cd "$dir" && exec "${run_as[@]}" "${wine_env[@]}" "$@") &
    WINE_PID=$!
}

give_to_wine() {
    [ ${#run_as[@]} -eq 0 ] || chown -R nobody:nogroup "$@"
}

stop_wine_session() {
    # Without the session's environment, wineserver -k would end the user's own Wine.
    [ ${#wine_env[@]} -eq 0 ] || in_wine wineserver -k 2>/dev/null || true
    [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$RUN"
}
