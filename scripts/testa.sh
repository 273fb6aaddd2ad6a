#!/usr/bin/env bash
# Builds everything (native, Windows cross build, sanitizer build) and runs
# every test: unit tests, the black-box tests natively and under Wine, and
# the unit and black-box tests again under AddressSanitizer and UBSan; then
# a short run of every fuzz target (libFuzzer, 20 seconds each).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/dependencias.sh

echo "== Windows build (MinGW-w64)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2

echo "== Native build"
cmake --preset native >/dev/null
cmake --build --preset native -j2

echo "== Tests (native and under Wine)"
ctest --preset native

echo "== Sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
cmake --preset debug >/dev/null
cmake --build --preset debug -j2
ctest --preset debug

echo "== Fuzz targets (libFuzzer with AddressSanitizer and UBSan, 20 seconds each)"
scripts/fuzz.sh 20
