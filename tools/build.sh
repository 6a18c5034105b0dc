#!/usr/bin/env bash
# Builds both targets: build/x86_64 (with the tests) and build/i686 (the 32-bit deliverable).
set -eu
cd "$(dirname "$0")/.."
for arch in x86_64 i686; do
  tests=OFF; [ "$arch" = x86_64 ] && tests=ON
  cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DOVRIN_TESTS=$tests >/dev/null
  ninja -C "build/$arch"
done
