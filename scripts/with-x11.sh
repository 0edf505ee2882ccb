#!/usr/bin/env bash
# Runs a command on a private virtual X display with the openbox window manager, for the tests
# that need what Qt's offscreen platform cannot do (real pointer drags, window activation).
# Usage: scripts/with-x11.sh COMMAND [ARGS...]
set -euo pipefail

# Xvfb picks a free display itself and writes its number to the descriptor given. The screen
# is 1024x768 unless BRENVALE_X11_SCREEN gives another size (WIDTHxHEIGHTxDEPTH).
numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${BRENVALE_X11_SCREEN:-1024x768x24}" -nolisten tcp 3>"$numfile" \
    >/dev/null 2>&1 &
xvfb=$!
wm=""
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -f "$numfile"
}
trap cleanup EXIT

for _ in $(seq 1 200); do
    [ -s "$numfile" ] && break
    kill -0 "$xvfb" 2>/dev/null || { echo "with-x11: Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done
[ -s "$numfile" ] || { echo "with-x11: Xvfb opened no display" >&2; exit 1; }
display=":$(head -n 1 "$numfile")"

export DISPLAY="$display"
unset QT_QPA_PLATFORM
# The keyboard library of the X platform copies strings out of X replies with strndup and a
# length that runs past the reply; only the sanitizer's strict string checks object to it.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
wmlog=$(mktemp)
trap 'cleanup; rm -f "$wmlog"' EXIT
# A window mapped while the window manager is still starting may never be exposed: wait until
# it answers for the desktop (it sets that property once it manages the screen). On a busy
# machine that can take a while, and a window manager that died at start is started again.
wm_ready() {
    local _
    for _ in $(seq 1 300); do
        xdotool get_desktop >/dev/null 2>&1 && return 0
        kill -0 "$wm" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
ready=""
for _ in 1 2; do
    openbox >>"$wmlog" 2>&1 &
    wm=$!
    if wm_ready; then
        ready=1
        break
    fi
    kill "$wm" 2>/dev/null || true
done
if [ -z "$ready" ]; then
    echo "with-x11: the window manager does not manage $display:" >&2
    cat "$wmlog" >&2
    exit 1
fi
"$@"
