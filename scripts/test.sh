#!/usr/bin/env bash
# Sets up the machine, builds with warnings as errors and runs every test;
# the Debian package is built, checked with lintian, installed and started
# right after. Then one Clang build with AddressSanitizer and
# UndefinedBehaviorSanitizer runs the unit tests again and fuzzes the file
# readers for a bounded time (TESSMARK_FUZZ_SECONDS, default 60; 0 skips the
# fuzzing; TESSMARK_SKIP_SANITIZERS=1 skips that build). Last come the release
# checks: metainfo, desktop entry, layers and clang-tidy. Each step is printed
# with the seconds since the start. Both builds are unity builds (several
# sources to one compiler run, which parses Qt's headers once for all of
# them); clang-tidy still checks each source on its own.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() { printf '\n==== %s (%ds)\n' "$*" $((SECONDS - started)); }

step "set-up"
scripts/setup.sh
jobs=$(nproc)

step "build"
cmake -S . -B build-ci -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSMARK_WERROR=ON -DCMAKE_UNITY_BUILD=ON
cmake --build build-ci --parallel "$jobs"
step "tests"
ctest --test-dir build-ci --output-on-failure
step "package"
scripts/package-check.sh build-ci

builds=(build-ci)
if [ "${TESSMARK_SKIP_SANITIZERS:-0}" != 1 ]; then
    step "sanitizers: unit tests and fuzzing"
    TESSMARK_FUZZ_TESTS=ON scripts/fuzz.sh
    builds+=(build-fuzz)
fi

step "release checks"
scripts/release-checks.sh "${builds[@]}"
step "done"
