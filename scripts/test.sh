#!/usr/bin/env bash
# Builds and runs every test: the normal build, then the whole suite under
# AddressSanitizer + UndefinedBehaviorSanitizer, the thread tests under
# ThreadSanitizer, and the archive parser's fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp

passed=0
failed=0
failed_names=()
# Runs ctest with the given arguments and adds its counts to the totals. A
# failing run does not stop the script: every stage runs, and the end lists
# each test that failed or ran out of time.
run_ctest() {
    local log
    log=$(mktemp)
    set +e
    ctest --output-on-failure --timeout 600 "$@" 2>&1 | tee "$log"
    local status=${PIPESTATUS[0]}
    set -e
    local line
    line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
    if [ -n "$line" ]; then
        local f total
        f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
        passed=$((passed + total - f))
        failed=$((failed + f))
    elif [ "$status" -ne 0 ]; then
        failed=$((failed + 1))
    fi
    if [ "$status" -ne 0 ]; then
        local names
        names=$(sed -nE '/The following tests FAILED:/,$ s/^[[:space:]]*[0-9]+ - (.*)$/\1/p' "$log")
        [ -n "$names" ] || names="ctest $* (no test ran)"
        while IFS= read -r name; do failed_names+=("$stage: $name"); done <<<"$names"
    fi
    rm -f "$log"
}

summary() {
    if [ ${#failed_names[@]} -gt 0 ]; then
        echo "== failed or timed out:"
        printf '   %s\n' "${failed_names[@]}"
    fi
    echo "total: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

configure() {  # dir, extra cmake arguments...
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -Wno-dev "$@" >/dev/null
}

stage="normal build"
echo "== $stage"
configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
run_ctest --test-dir build -j "$jobs"
echo "== deep perft from the start (paths): depth 9"
got=$(build/tools/pelvanta-engine/pelvanta-engine perft start 9)
if [ "$got" = 4570667 ]; then
    passed=$((passed + 1))
else
    echo "perft 9 gave $got, expected 4570667"
    failed=$((failed + 1))
    failed_names+=("deep perft: start 9")
fi

stage="ASan+UBSan"
echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
configure build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVANTA_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake --build build-asan -j "$jobs"
PELVANTA_SANITIZED=1 run_ctest --test-dir build-asan -j "$jobs"

stage="TSan"
echo "== ThreadSanitizer (thread tests: the workers, threads, the game object with its workers)"
configure build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVANTA_GUI=ON -DPELVANTA_PHOTOS=OFF \
    -DPELVANTA_BENCH=OFF -DCMAKE_CXX_FLAGS="-fsanitize=thread"
cmake --build build-tsan -j "$jobs" --target test_engine_threads test_platform test_party
PELVANTA_SANITIZED=1 run_ctest --test-dir build-tsan -j "$jobs" -L threads

stage="fuzz"
echo "== fuzzing the archive parser (bounded)"
CC=clang CXX=clang++ configure build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELVANTA_GUI=OFF \
    -DPELVANTA_BENCH=OFF -DPELVANTA_FUZZ=ON
cmake --build build-fuzz -j "$jobs" --target fuzz_archive make_archive_seeds
run_ctest --test-dir build-fuzz -L fuzz

summary
