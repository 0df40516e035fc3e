#!/usr/bin/env bash
# Builds the player, export and model tests under ThreadSanitizer and runs them: live playback
# (start and stop in a tight loop, edits through the document while playing, SDL's disk driver
# end to end), the movie export on its worker thread with progress messages and Ctrl+C, and the
# project lock and events they rely on; and the window playing and exporting, with edits during
# playback.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh

build_dir=build-tsan
cmake -S . -B "$build_dir" -G Ninja -DLANTREL_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLANTREL_SANITIZE=thread
cmake --build "$build_dir" -j2 --target audio_tests model_tests video_tests cli_tests ui_tests

export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
# The disk driver plays into files of the tests' own; keep SDL's notice about it out of the log.
"$build_dir/tests/audio/audio_tests" --gtest_filter='Player*:WaveDevice*:SdlPlayback*' 2>&1 |
    grep -v -e 'SDL disk i/o audio driver' -e 'Writing to file'
"$build_dir/tests/model/model_tests"
export QT_QPA_PLATFORM=offscreen
"$build_dir/tests/video/video_tests" --gtest_filter='MovieExport*'
"$build_dir/tests/cli/cli_tests" --gtest_filter='ExportCommand*'
TSAN_OPTIONS="$TSAN_OPTIONS:suppressions=$(pwd)/tests/ui/tsan.supp" \
    "$build_dir/tests/ui/ui_tests" --gtest_filter='WindowSession*'
