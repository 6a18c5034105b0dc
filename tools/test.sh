#!/usr/bin/env bash
# Installs what is missing, checks the host's layers, builds both targets (each link checks its export table) and runs
# every test under 64-bit Wine and Xvfb.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
# The host keeps its layers: every include points down.
python3 tools/check-layers.py
tools/build.sh
cd build/x86_64
ctest --output-on-failure -j "$(nproc)" --timeout 300
