#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what the demo runs: the program, the simulator and the shipped database (no tests or
# benchmarks); scripts/test.sh builds the rest.
cmake --build build -j "$(nproc)" --target telvane telvane-phonesim telvane_mdb
exec bash scripts/demo.sh
