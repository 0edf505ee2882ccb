# Configures and builds build-asan/: the whole suite and the libFuzzer targets, compiled by clang
# with AddressSanitizer and UndefinedBehaviorSanitizer (and libFuzzer's coverage in the libraries
# the fuzz targets reach), without the benchmarks. Sourced by scripts/sanitizers.sh and
# scripts/fuzz.sh.

# generator_for
source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"

# Any report ends the program with a failure.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan-suppressions.txt:print_suppressions=0"

# build_sanitized [TARGET...]: everything, or only the named targets.
build_sanitized() {
    local root
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    # Line tables are all a report needs to name files and lines; full debug information
    # would double the compile and link work.
    # The fuzz targets' coverage counters go only into the libraries they reach (CMakeLists.txt).
    local flags="-O1 -gline-tables-only -fno-omit-frame-pointer -fsanitize=address,undefined"
    flags+=" -fno-sanitize-recover=undefined"
    # shellcheck disable=SC2046
    cmake $(generator_for "$root/build-asan") -S "$root" -B "$root/build-asan" \
        -DCMAKE_BUILD_TYPE=None \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
        -DBRENVALE_BUILD_BENCH=OFF -DBRENVALE_BUILD_FUZZ=ON -DBRENVALE_TEST_PROGRAMS_WHOLE=ON \
        >/dev/null
    local targets=()
    local t
    for t in "$@"; do
        targets+=(--target "$t")
    done
    cmake --build "$root/build-asan" --parallel "$(nproc)" "${targets[@]}"
}
