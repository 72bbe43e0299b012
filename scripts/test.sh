#!/usr/bin/env bash
# Runs every test: installs what is missing, checks the formatting, builds everything into
# build/ (the tree the run command uses too; warnings are errors), runs the whole suite
# headless, fuzzes the byte rules for 30 seconds a target, then runs the byte-rule tests again
# under AddressSanitizer and UBSan in build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The details page is also checked in a real browser; without one that test is skipped.
scripts/install-deps.sh chromium || echo "chromium could not be installed: the browser test will be skipped"

# Every C++ file as .clang-format lays it out.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

# ccache, where it is installed, serves every tree below (build, fuzz, sanitizers) what another
# checkout already compiled.
if command -v ccache >/dev/null; then export CMAKE_CXX_COMPILER_LAUNCHER=ccache; fi
scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

# libFuzzer over the reply framing, both page parsers and the portfolio requests (clang).
scripts/fuzz.sh 30

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTICKWELL_WERROR=ON -DTICKWELL_SANITIZE=ON \
    -DTICKWELL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$(nproc)" --target core_tests
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L core)
