#!/usr/bin/env bash
# Configures and builds Tickwell into build/, the one tree that the run and test commands
# share. Usage: scripts/build.sh [TARGET...]   (no target: everything, tests included)
# Warnings are errors here as in the tests, so that both commands build with the same flags
# and neither rebuilds what the other has built.
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache, where it is installed, keeps a rebuild in another checkout from compiling again.
if command -v ccache >/dev/null; then export CMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTICKWELL_WERROR=ON >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build -j"$(nproc)" "${targets[@]}"
