#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Lantrel with its own sounds, sprites and demo project,
# and runs its main job: the movie export of the demo project to out/demo.avi, the scrolling
# score screen with the mixed sound joined in.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target lantrel lantrel_rsrc lantrel_demo_project

mkdir -p out
build/app/lantrel export build/examples/demo.vtm --out-dir out --name demo --join
echo "The movie is $(pwd)/out/demo.avi"
