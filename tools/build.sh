#!/usr/bin/env bash
# Builds both targets with their tests: build/x86_64, whose tests run under Wine, and build/i686,
# the 32-bit deliverable, whose test programs are only compiled and linked (this machine runs no
# 32-bit code) so that code which is wrong only for 32 bits still fails the build.
#   tools/build.sh          everything of both trees
#   tools/build.sh <tree>   everything of one tree (x86_64 or i686)
#   tools/build.sh app      only what running needs: the 64-bit program, its modules and data files
#                           (the tree is configured with its tests, which tools/test.sh builds later)
set -eu
cd "$(dirname "$0")/.."
configure() {
  # The toolchain is fixed when a tree is first configured; naming it again only earns a warning.
  if [ -f "build/$1/CMakeCache.txt" ]; then
    cmake -S . -B "build/$1" >/dev/null
  else
    cmake -S . -B "build/$1" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$1.cmake" -DOVRIN_TESTS=ON >/dev/null
  fi
}
if [ "${1:-}" = app ]; then
  configure x86_64
  ninja -C build/x86_64 ovrin_app
  exit 0
fi
trees="x86_64 i686"
case ${1:-} in x86_64 | i686) trees=$1 ;; "") ;; *) echo "usage: $0 [x86_64 | i686 | app]" >&2; exit 2 ;; esac
for arch in $trees; do
  configure "$arch"
  ninja -C "build/$arch"
done
