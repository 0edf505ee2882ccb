# A tiny runner for the installation checks, sourced by their scripts: check WHAT COMMAND...
# runs COMMAND, counts it and shows its output when it fails; checks_summary NAME ends the
# script with "NAME: N passed, N failed" and fails when any check did. Needs $work.
passed=0
failed=0
check() {
    local what="$1"
    shift
    if "$@" >"$work/out" 2>&1; then
        passed=$((passed + 1))
        [ -z "${CHECKS_VERBOSE:-}" ] || echo "ok: $what"
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
        sed 's/^/    /' "$work/out"
    fi
}
checks_summary() {
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
