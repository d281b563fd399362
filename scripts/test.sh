#!/usr/bin/env bash
# Builds and runs every test: the CMake presets (CMakePresets.json) one after
# another, each configured, built and tested as a workflow: the normal build,
# the whole suite under AddressSanitizer + UBSan, the thread tests under
# ThreadSanitizer, and the archive parser's fuzz target for a bounded time.
# Every preset runs whatever an earlier one gave; the end lists each test
# that failed or ran out of time, and the totals.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$(nproc)}

passed=0
failed=0
failed_names=()
for preset in normal asan tsan fuzz; do
    echo "== $preset"
    dir=build-$preset  # as CMakePresets.json names them
    [ "$preset" = normal ] && dir=build
    results=$dir/ctest-results.xml
    rm -f "$results"
    cmake --workflow --preset "$preset" || true
    if [ ! -f "$results" ]; then  # it did not get as far as its tests
        failed=$((failed + 1))
        failed_names+=("$preset: the build failed")
        continue
    fi
    # CTest's own JUnit report: one case a test, its status "run" when it
    # passed, "fail" when it failed or ran out of time.
    passed=$((passed + $(grep -c '<testcase [^>]*status="run"' "$results" || true)))
    failed=$((failed + $(grep -c '<testcase [^>]*status="fail"' "$results" || true)))
    while IFS= read -r name; do
        failed_names+=("$preset: $name")
    done < <(sed -n 's/.*<testcase name="\([^"]*\)"[^>]* status="fail".*/\1/p' "$results")
done

if [ ${#failed_names[@]} -gt 0 ]; then
    echo "== failed or timed out:"
    printf '   %s\n' "${failed_names[@]}"
fi
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
