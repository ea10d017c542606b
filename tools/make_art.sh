#!/usr/bin/env bash
# Redraws every picture in data/pictures from tools/art/make_art.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-tools -G Ninja -DWORDMIRE_TOOLS=ON -DWORDMIRE_BENCH=OFF >/dev/null
cmake --build build-tools --target make_art
QT_QPA_PLATFORM=offscreen build-tools/tools/art/make_art data/pictures data/tilesets data/wordmire.svg
