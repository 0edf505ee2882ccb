#!/usr/bin/env bash
# Runs every libFuzzer target of tests/fuzz for SECONDS each (default 30), as many at a time as
# there are cores, starting from the checked-in corpus, in build-asan/. An input that breaks a
# target is kept as build-asan/fuzz-artifacts/TARGET-*: once mended, copy it into
# tests/fuzz/corpus/TARGET/, where the sanitizer suite runs it as a regression case.
#     scripts/fuzz.sh [SECONDS]
# The test command runs them in two goes, through these settings:
#     FUZZ_JOBS=N         targets at a time (default: the number of cores)
#     FUZZ_DONE_FILE=F    a target named in F is passed over; each one that has run is added to F
#     FUZZ_STOP_FILE=F    once F exists, no further target starts
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
jobs="${FUZZ_JOBS:-$(nproc)}"
done_file="${FUZZ_DONE_FILE:-}"
stop_file="${FUZZ_STOP_FILE:-}"
source scripts/packages.sh
source scripts/sanitized-build.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${SANITIZER_PACKAGES[@]}"
targets=(document_fuzz tree_paste_fuzz find_fuzz settings_text_fuzz shortcut_fuzz markdown_fuzz
    opml_fuzz schedule_fuzz cp932_fuzz merge_fuzz)
build_sanitized "${targets[@]}"

run_target() {
    local target="$1"
    local work="build-asan/fuzz-work/$target"
    local log="build-asan/fuzz-$target.log"
    mkdir -p "$work" build-asan/fuzz-artifacts
    # New inputs go to the work folder; the checked-in corpus is only read.
    if "build-asan/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 \
        -print_final_stats=1 -artifact_prefix="build-asan/fuzz-artifacts/$target-" \
        "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        local runs
        runs="$(grep -o 'number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || true)"
        echo "fuzz $target: ${runs:-?} runs in $seconds s, no failure"
    else
        echo "fuzz $target FAILED (log: $log)"
        tail -n 40 "$log"
        return 1
    fi
}

already_run() {
    [ -n "$done_file" ] && [ -f "$done_file" ] && grep -qx "$1" "$done_file"
}

failed=0
pids=()
for target in "${targets[@]}"; do
    if already_run "$target"; then
        continue
    fi
    if [ -n "$stop_file" ] && [ -e "$stop_file" ]; then
        break
    fi
    if [ -n "$done_file" ]; then
        echo "$target" >>"$done_file"
    fi
    run_target "$target" &
    pids+=($!)
    if [ ${#pids[@]} -ge "$jobs" ]; then
        wait "${pids[0]}" || failed=1
        pids=("${pids[@]:1}")
    fi
done
for pid in "${pids[@]}"; do
    wait "$pid" || failed=1
done
exit "$failed"
