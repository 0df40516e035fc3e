#!/usr/bin/env bash
# Builds Lantrel on a fresh Debian machine and runs its main job on the bundled demo project.
# The movie export and the demo project are not built yet: for now this builds the program
# and shows what it can already do. Once they exist it will export examples/demo.vtm to
# out/demo.avi (video and sound joined) and print where the file is.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target lantrel

echo
echo "Built build/app/lantrel. The movie export of the demo project is not available yet."
build/app/lantrel --help
