#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Lantrel with its demo project and opens the window on
# it. Needs a display (X11 or Wayland).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install_packages.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target lantrel lantrel_rsrc lantrel_demo_project
exec build/app/lantrel build/examples/demo.vtm
