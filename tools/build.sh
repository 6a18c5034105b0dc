#!/usr/bin/env bash
# Builds both targets with their tests: build/x86_64, whose tests run under Wine, and build/i686,
# the 32-bit deliverable, whose test programs are only compiled and linked (this machine runs no
# 32-bit code) so that code which is wrong only for 32 bits still fails the build.
set -eu
cd "$(dirname "$0")/.."
for arch in x86_64 i686; do
  # The toolchain is fixed when a tree is first configured; naming it again only earns a warning.
  if [ -f "build/$arch/CMakeCache.txt" ]; then
    cmake -S . -B "build/$arch" >/dev/null
  else
    cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DOVRIN_TESTS=ON >/dev/null
  fi
  ninja -C "build/$arch"
done
