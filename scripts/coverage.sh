#!/usr/bin/env bash
# Line coverage of src/ by the whole test suite: builds the coverage preset, runs every test,
# then prints gcovr's summary and writes an HTML report to build/coverage/html/.
# Needs gcovr (Debian package gcovr); not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset coverage
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete
ctest --preset coverage || true
mkdir -p build/coverage/html
gcovr --root . --filter 'src/' --exclude '.*_autogen/.*' --exclude '.*/\.rcc/.*' \
      --exclude-directories 'build/coverage/CMakeFiles' --object-directory build/coverage \
      --html-details build/coverage/html/index.html --print-summary build/coverage
