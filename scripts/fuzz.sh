#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/fuzz_*.cpp) with Clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, then runs them side by side, each on a fresh
# seed corpus for a bounded time. Any crash, sanitizer report, hang, leak or
# memory blow-up fails the script; the input that caused it is kept in
# build-fuzz/findings/.
#
# TESSMARK_FUZZ_SECONDS  how long the targets run (default 60; 0 builds only)
# TESSMARK_FUZZ_BUILD    the build folder (default build-fuzz)
# TESSMARK_FUZZ_TESTS    ON builds the unit tests in the same sanitized build
#                        and runs them before the fuzzers (default OFF)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${TESSMARK_FUZZ_SECONDS:-60}
build=${TESSMARK_FUZZ_BUILD:-build-fuzz}
jobs=$(nproc)

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESSMARK_FUZZ=ON -DTESSMARK_WERROR=ON -DBUILD_TESTING="${TESSMARK_FUZZ_TESTS:-OFF}" \
    -DTESSMARK_BENCHMARKS=OFF -DCMAKE_UNITY_BUILD=ON
cmake --build "$build" --parallel "$jobs"

if [ "${TESSMARK_FUZZ_TESTS:-OFF}" = ON ]; then
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$build" --output-on-failure -L unit
fi
[ "$seconds" != 0 ] || exit 0

# Each input is written to and read from files; on a RAM disk the file
# system's sync on save costs nothing.
if [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

# One process per target, all at once: each is single-threaded.
fuzz_target() {
    local exe=$1 name kind seeds corpus findings log
    name=$(basename "$exe")
    kind=${name#fuzz_}
    seeds="$build/seeds/$kind"
    corpus="$build/corpus/$kind"
    findings="$build/findings/$kind"
    log="$build/$name.log"
    rm -rf "$seeds"
    fuzz/seeds.sh "$kind" "$seeds"
    mkdir -p "$corpus" "$findings"
    # The first folder collects what the run learns and is kept between runs;
    # the seeds are read only.
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
        LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0 \
        "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "$seeds" >"$log" 2>&1
}

declare -A pids=()
for exe in "$build"/fuzz/fuzz_*; do
    [ -f "$exe" ] && [ -x "$exe" ] || continue
    echo "== $(basename "$exe"): ${seconds}s"
    fuzz_target "$exe" &
    pids[$exe]=$!
done

failed=()
for exe in "${!pids[@]}"; do
    name=$(basename "$exe")
    log="$build/$name.log"
    findings="$build/findings/${name#fuzz_}"
    if wait "${pids[$exe]}"; then
        echo "$name: $(grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" | tr '\n' ' ')"
        echo "   $(find "$build/corpus/${name#fuzz_}" -type f | wc -l) inputs in the corpus, no findings"
    else
        tail -n 60 "$log"
        echo "FINDING in $name; inputs in $findings:" >&2
        ls -l "$findings" >&2
        failed+=("$name")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found faults in: ${failed[*]}" >&2
    exit 1
fi
