#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Lantrel and its tests, and runs them.
# Build folder: build/ (override with BUILD_DIR); extra CMake options in CMAKE_ARGS.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh

build_dir=${BUILD_DIR:-build}
# shellcheck disable=SC2086
cmake -S . -B "$build_dir" -G Ninja -DLANTREL_WERROR=ON ${CMAKE_ARGS:-}
cmake --build "$build_dir" -j2
ctest --test-dir "$build_dir" -j2 --output-on-failure --timeout 600
