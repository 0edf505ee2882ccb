#!/usr/bin/env bash
# Runs a command in a D-Bus session of its own with the accessibility bus up, as a desktop
# with a screen reader has it, so that Qt's screen reader bridge turns on
# (QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 stands for the screen reader). Needs a display.
# Usage: scripts/with-accessibility-bus.sh COMMAND [ARGS...]
set -euo pipefail
if [ -z "${BRENVALE_IN_BUS:-}" ]; then
    BRENVALE_IN_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
# Asking for the bus's address starts it (the session activates its launcher).
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
    >/dev/null
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$@"
