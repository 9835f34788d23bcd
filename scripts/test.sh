#!/usr/bin/env bash
# Sets up the machine, builds with warnings as errors and runs every test;
# then runs the tests again in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, fuzzes the file readers for a bounded time
# (TESSMARK_FUZZ_SECONDS per target, default 60; 0 skips the fuzzing), and
# runs the release checks: metainfo, desktop entry and clang-tidy. The Debian
# package is built, checked with lintian, installed and started right after
# the first test run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSMARK_WERROR=ON
cmake --build build-ci --parallel "$jobs"
ctest --test-dir build-ci --output-on-failure
scripts/package-check.sh build-ci

if [ "${TESSMARK_SKIP_SANITIZERS:-0}" != 1 ]; then
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSMARK_WERROR=ON \
        -DTESSMARK_SANITIZE=ON -DTESSMARK_BENCHMARKS=OFF
    cmake --build build-asan --parallel "$jobs"
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir build-asan --output-on-failure -L unit
fi

if [ "${TESSMARK_FUZZ_SECONDS:-60}" != 0 ]; then
    scripts/fuzz.sh
fi

builds=(build-ci)
[ -f build-fuzz/compile_commands.json ] && builds+=(build-fuzz)
scripts/release-checks.sh "${builds[@]}"
