#!/usr/bin/env bash
# Installs what is missing, builds, generates the content and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF -DQUORVEL_WERROR=OFF
cmake --build build
exec build/game/quorvel
