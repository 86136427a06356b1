#!/usr/bin/env bash
# Installs what is missing, builds the Debug configuration with the address and
# undefined-behaviour sanitizers, and runs every test. Non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/format.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVEL_SANITIZE=ON -DQUORVEL_WERROR=ON
cmake --build build-test --parallel "$(nproc)"
ctest --test-dir build-test -j "$(nproc)" --output-on-failure --timeout 600
# Every file reader under the fuzzer: its kept regression inputs, then 20 seconds each,
# as many at once as there are processors (at most 4: each may take 2 GB).
bash scripts/fuzz.sh 20 "$(($(nproc) < 4 ? $(nproc) : 4))"
