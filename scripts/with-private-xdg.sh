#!/usr/bin/env bash
# Runs a command with XDG state, config and runtime folders of its own, made empty for the run
# and removed after it, so that the editor never finds a recovery copy, a lock or settings left
# by a user's editor or by an earlier run that was killed (and never asks about them).
# Usage: scripts/with-private-xdg.sh COMMAND [ARGS...]
set -euo pipefail
root="$(mktemp -d "${TMPDIR:-/tmp}/brenvale-xdg-XXXXXX")"
trap 'rm -rf "$root"' EXIT
mkdir -m 700 "$root/state" "$root/config" "$root/runtime"
export XDG_STATE_HOME="$root/state" XDG_CONFIG_HOME="$root/config" XDG_RUNTIME_DIR="$root/runtime"
status=0
"$@" || status=$?
exit "$status"
