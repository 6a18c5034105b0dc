#!/usr/bin/env bash
# Installs what is missing, checks the host's layers, builds both targets (each link checks its export table) and runs
# every test under 64-bit Wine and Xvfb.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh
# The host keeps its layers: every include (resolved with the build's flags) and every call points down.
python3 tools/check-layers.py --symbols
cd build/x86_64
ctest --output-on-failure -j "$(nproc)" --timeout 300
