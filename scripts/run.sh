#!/usr/bin/env bash
# Builds the editor and starts it; any arguments (documents to open) are passed on.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}"
build_all
exec build/src/ui/brenvale "$@"
