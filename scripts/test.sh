#!/usr/bin/env bash
# Builds everything and runs every test (widget tests run offscreen), then the sanitizer suite
# and the fuzz targets.
#
# The sanitizer build (build-asan/) starts with the first build, at the lowest priority: it
# takes the cores whenever the first build or its tests leave one idle (links, windows waiting
# on timers, the input method, disk syncs), and is done or nearly so when its suite runs.
# The install check, the kill test and the input-method script use one core and wait on the
# disk and the display: the fuzz targets take the other one, one at a time, once the sanitizer
# build is done; those not reached by then run after the sanitizer suite.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${SANITIZER_PACKAGES[@]}"

mkdir -p build-asan
sanitized_log="build-asan/background-build.log"
sanitized_done="build-asan/background-build.done"
rm -f "$sanitized_done"
# A process group of its own, so that a failure before it ends stops all of it. Its session is
# a scheduling group of its own where the kernel groups sessions so (autogroup): the group's own
# priority is lowered with the processes', or the group would take half of the cores whatever
# their nice value, and four compilers on two cores take longer than two and two after them.
lower_group='echo 19 >/proc/self/autogroup 2>/dev/null || true'
setsid nice -n 19 bash -c "$lower_group
    source scripts/sanitized-build.sh && build_sanitized && touch $sanitized_done" \
    >"$sanitized_log" 2>&1 &
sanitized_pid=$!
lane_pid=""
stop_background() {
    kill -TERM -- "-$sanitized_pid" 2>/dev/null || true
    if [ -n "$lane_pid" ]; then
        kill -TERM -- "-$lane_pid" 2>/dev/null || true
    fi
}
trap stop_background EXIT

build_all OFF
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600

fuzz_log="build-asan/fuzz-lane.log"
export FUZZ_DONE_FILE="$PWD/build-asan/fuzz-done"
fuzz_stop="$PWD/build-asan/fuzz-stop"
rm -f "$FUZZ_DONE_FILE" "$fuzz_stop"
# Below the checks beside it, so that they keep the core they need.
setsid nice -n 10 bash -c "
    echo 10 >/proc/self/autogroup 2>/dev/null || true
    while [ ! -e $sanitized_done ]; do
        kill -0 $sanitized_pid 2>/dev/null || exit 0
        sleep 1
    done
    FUZZ_JOBS=1 FUZZ_STOP_FILE=$fuzz_stop scripts/fuzz.sh 30" >"$fuzz_log" 2>&1 &
lane_pid=$!

scripts/test-install.sh build
scripts/kill-test.sh 50
scripts/input-method-test.sh

touch "$fuzz_stop"
lane_failed=0
wait "$lane_pid" || lane_failed=1
lane_pid=""
cat "$fuzz_log"
if [ "$lane_failed" -ne 0 ]; then
    exit 1
fi
if ! wait "$sanitized_pid"; then
    cat "$sanitized_log"
    echo "the sanitizer build failed"
    exit 1
fi
scripts/sanitizers.sh
scripts/fuzz.sh 30
