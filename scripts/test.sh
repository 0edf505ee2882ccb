#!/usr/bin/env bash
# Builds everything and runs every test (widget tests run offscreen), then the sanitizer suite
# and the fuzz targets.
#
# The sanitizer build (build-asan/) starts with the first build, at the lowest priority: it
# takes the cores whenever the first build or its tests leave one idle (links, windows waiting
# on timers, the input method, disk syncs), and is done or nearly so when its suite runs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${SANITIZER_PACKAGES[@]}"

mkdir -p build-asan
sanitized_log="build-asan/background-build.log"
# A process group of its own, so that a failure before it ends stops all of it.
setsid nice -n 19 bash -c 'source scripts/sanitized-build.sh; build_sanitized' \
    >"$sanitized_log" 2>&1 &
sanitized_pid=$!
stop_background() {
    kill -TERM -- "-$sanitized_pid" 2>/dev/null || true
}
trap stop_background EXIT

build_all OFF
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
scripts/test-install.sh build
scripts/kill-test.sh 50
scripts/input-method-test.sh

if ! wait "$sanitized_pid"; then
    cat "$sanitized_log"
    echo "the sanitizer build failed"
    exit 1
fi
scripts/sanitizers.sh
scripts/fuzz.sh 30
