#!/usr/bin/env bash
# Builds the whole suite, window tests included, with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ and runs it there; any report fails the test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/sanitized-build.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" "${SANITIZER_PACKAGES[@]}"
build_sanitized
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)" --timeout 900
