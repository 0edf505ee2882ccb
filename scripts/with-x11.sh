#!/usr/bin/env bash
# Runs a command on a private virtual X display with the openbox window manager, for the tests
# that need what Qt's offscreen platform cannot do (real pointer drags, window activation).
# Usage: scripts/with-x11.sh COMMAND [ARGS...]
set -euo pipefail

# Xvfb picks a free display itself and writes its number to the descriptor given.
numfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
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
openbox >/dev/null 2>&1 &
wm=$!
# A window mapped while the window manager is still starting may never be exposed: wait until
# it answers for the desktop (it sets that property once it manages the screen).
for _ in $(seq 1 200); do
    xdotool get_desktop >/dev/null 2>&1 && break
    sleep 0.05
done
"$@"
