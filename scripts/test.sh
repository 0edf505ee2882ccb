#!/usr/bin/env bash
# Builds everything and runs every test (widget tests run offscreen).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
build_all
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 600
scripts/test-install.sh build
scripts/kill-test.sh 50
scripts/input-method-test.sh
scripts/sanitizers.sh
scripts/fuzz.sh 30
