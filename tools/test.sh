#!/usr/bin/env bash
# Installs what is missing, builds both targets (each link checks its export table) and runs
# every test under 64-bit Wine and Xvfb.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh
cd build/x86_64
ctest --output-on-failure -j "$(nproc)" --timeout 300
