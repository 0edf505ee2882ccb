#!/usr/bin/env bash
# Builds the program and starts it; any arguments are passed on.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
build_all
if [ $# -eq 0 ]; then
    set -- --help
fi
exec build/src/cli/brenvale-cli "$@"
