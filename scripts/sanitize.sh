#!/usr/bin/env bash
# Builds and runs the whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
BUILD_DIR=build-asan \
CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DLANTREL_SANITIZE=address,undefined" \
    bash scripts/test.sh
