#!/usr/bin/env bash
# Redraws every picture in data/pictures from tools/art/make_art.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DWORDMIRE_TOOLS=ON >/dev/null
cmake --build build --target make_art
QT_QPA_PLATFORM=offscreen build/tools/art/make_art data/pictures
