#!/usr/bin/env bash
# Runs a command in a D-Bus session of its own where no service is started on demand, so that
# a test decides itself when a notification server (dunst) runs, and sees the case of none.
# Usage: scripts/with-notification-bus.sh COMMAND [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exec dbus-run-session --config-file="$here/../tests/ui/session-bus-without-services.conf" -- "$@"
