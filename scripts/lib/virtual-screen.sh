# A virtual X screen with a window manager, for tests and screenshots that
# need what a window system does (focus, stacking, modality).
#
# start_virtual_screen WORK [SIZE] starts Xvfb on the first free display and
# openbox on it, exports DISPLAY and XAUTHORITY, and sets VIRTUAL_SCREEN_PIDS;
# stop_virtual_screen stops both. Only clients with this run's cookie may
# connect. The server runs with -noreset: without it, it resets each time its
# last client leaves (the window manager probe below is such a client), and
# a window manager connecting during that reset finds no display. The window
# manager gets a second try; on failure both logs are printed.

VIRTUAL_SCREEN_PIDS=""

stop_virtual_screen() {
    local pid
    for pid in $VIRTUAL_SCREEN_PIDS; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    VIRTUAL_SCREEN_PIDS=""
}

# Waits up to ten seconds for COMMAND to succeed.
wait_for() {
    local _
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

virtual_screen_logs() {
    local work="$1" log
    for log in "$work"/xvfb.log "$work"/openbox*.log; do
        [[ -f $log ]] || continue
        echo "--- $log" >&2
        cat "$log" >&2
    done
}

start_virtual_screen() {
    local work="$1" size="${2:-1024x768x24}" cookie try manager
    install_missing_packages xvfb xauth openbox wmctrl x11-utils
    cookie="$(mcookie)"
    touch "$work/auth"
    # The server takes the cookie whatever display the entry names.
    xauth -q -f "$work/auth" add :0 . "$cookie"
    Xvfb -displayfd 3 -noreset -screen 0 "$size" -nolisten tcp -auth "$work/auth" \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    VIRTUAL_SCREEN_PIDS="$!"
    if ! wait_for test -s "$work/display"; then
        virtual_screen_logs "$work"
        echo "Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$(cat "$work/display")" XAUTHORITY="$work/auth"
    xauth -q -f "$work/auth" add "$DISPLAY" . "$cookie"
    if ! wait_for xdpyinfo; then
        virtual_screen_logs "$work"
        echo "Xvfb took no client on $DISPLAY" >&2
        return 1
    fi
    for try in 1 2; do
        # Empty settings folders of its own: openbox's defaults, whoever runs this.
        XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" \
            openbox --sm-disable >"$work/openbox-$try.log" 2>&1 &
        manager=$!
        VIRTUAL_SCREEN_PIDS="$manager $VIRTUAL_SCREEN_PIDS"
        wait_for wmctrl -m && return 0
        kill "$manager" 2>/dev/null || true
        wait "$manager" 2>/dev/null || true
    done
    virtual_screen_logs "$work"
    echo "openbox did not start on $DISPLAY" >&2
    return 1
}
