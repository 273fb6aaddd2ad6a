#!/usr/bin/env bash
# Installs, once, what the build and the tests need and this machine lacks
# (Debian packages): the compilers, CMake, GoogleTest, the MinGW-w64 cross
# compiler, Wine, clang with libFuzzer's runtime for the fuzz targets, and
# CLI11 and nlohmann-json for validagia, and Chromium, in which a test opens
# a page of validagia's HTML report.
# Says what it installs; does nothing when all is there.
set -euo pipefail

precisa=()
tem() { command -v "$1" >/dev/null 2>&1; }
tem cmake || precisa+=(cmake)
tem g++ || precisa+=(g++)
tem make || precisa+=(make)
[ -f /usr/include/gtest/gtest.h ] || precisa+=(libgtest-dev)
[ -d /usr/src/googletest ] || precisa+=(googletest)  # built for the Windows test programs
[ -f /usr/include/benchmark/benchmark.h ] || precisa+=(libbenchmark-dev)
tem x86_64-w64-mingw32-g++-posix || precisa+=(g++-mingw-w64-x86-64-posix)
[ -x /usr/lib/wine/wine64 ] || precisa+=(wine64)
tem clang-format || precisa+=(clang-format)
# validagia's options and JSON (header-only; valida, jvmlaunch and DllInscE32 use neither).
[ -f /usr/include/CLI/CLI.hpp ] || precisa+=(libcli11-dev)
[ -f /usr/include/nlohmann/json.hpp ] || precisa+=(nlohmann-json3-dev)
tem python3 || precisa+=(python3)
tem unzip || precisa+=(unzip)  # the test of the Windows zip
tem clang++ || precisa+=(clang)
# libFuzzer's runtime comes in a package of its own, beside clang's resource folder.
runtime_fuzzer() { tem clang++ && compgen -G "$(clang++ -print-resource-dir)/lib/linux/libclang_rt.fuzzer-*.a" >/dev/null; }
runtime_fuzzer || precisa+=(libclang-rt-dev)
[ -x /usr/bin/chromium ] || precisa+=(chromium)

if [ ${#precisa[@]} -gt 0 ]; then
  echo "== Installing what this machine lacks: ${precisa[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are needed: ${precisa[*]} (run as root, or install them with apt-get)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${precisa[@]}" >/dev/null
  echo "== Installed: ${precisa[*]}"
fi
