#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) on a copy of
# its seed corpus. A crash fails the run and leaves its input in fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

bash scripts/install_packages.sh clang libclang-rt-14-dev

build_dir=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLANTREL_FUZZ=ON -DLANTREL_BUILD_TESTS=OFF -DLANTREL_WERROR=ON
targets=()
for source in tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
cmake --build "$build_dir" -j2 --target "${targets[@]}"

mkdir -p fuzz-artifacts
for target in "${targets[@]}"; do
    name=${target%_fuzz}
    work=$(mktemp -d)
    cp -r "tests/fuzz/corpus/$name/." "$work/"
    echo "== fuzzing $name for ${seconds}s"
    # close_fd_mask=2 silences the targets' own diagnostics; crash reports still get through.
    "$build_dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -close_fd_mask=2 \
        -artifact_prefix="fuzz-artifacts/$name-" -print_final_stats=1 "$work" </dev/null
    rm -rf "$work"
done
