#!/usr/bin/env bash
# Installs the Debian packages that building and testing Lantrel need. Runs unattended:
# no prompts, no standard input. Usage: install_packages.sh [extra packages...]
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev libsdl2-dev libasound2-dev
          sox imagemagick ffmpeg libavformat-dev libavcodec-dev libavutil-dev qt6-base-dev fonts-ipafont-gothic
          qt6-tools-dev qt6-l10n-tools
          xvfb xdotool xclip tesseract-ocr tesseract-ocr-eng strace time
          desktop-file-utils appstream shared-mime-info libglib2.0-bin libxml2-utils groff-base man-db
          "$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

run_as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo -n "$@"; fi
}
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
run_as_root apt-get update -q </dev/null
run_as_root apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
