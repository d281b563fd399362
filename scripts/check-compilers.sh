#!/usr/bin/env bash
# Builds the whole project (game, tools, tests, benchmarks) from scratch with
# each compiler the project supports, each in its own build folder, with the
# project's warnings on (-Wall -Wextra), and counts the warnings. Fails when a
# compiler fails to build or warns. Not part of the test command, which builds
# with gcc 12 (and the fuzz target with clang 14).
#
#   scripts/check-compilers.sh [gcc12|clang14|clang19 ...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

# name, C compiler, C++ compiler, the package that brings it
compilers=(
    "gcc12 gcc-12 g++-12 g++-12"
    "clang14 clang-14 clang++-14 clang-14"
    "clang19 clang-19 clang++-19 clang-19"
)
wanted=("$@")

selected=()
missing=()
for entry in "${compilers[@]}"; do
    read -r name cc cxx package <<<"$entry"
    if [ ${#wanted[@]} -ne 0 ] && [[ " ${wanted[*]} " != *" $name "* ]]; then continue; fi
    selected+=("$entry")
    command -v "$cxx" >/dev/null || missing+=("$package")
done
source scripts/packages.sh
need_packages check-compilers "${missing[@]}"

jobs=$(nproc)
results=()
bad=0
for entry in "${selected[@]}"; do
    read -r name cc cxx package <<<"$entry"
    dir=build-$name
    log=$dir/check-compilers.log
    echo "== $name: $($cxx --version | head -n 1)"
    rm -rf "$dir"
    mkdir -p "$dir"
    status=0
    {
        CC=$cc CXX=$cxx cmake -S . -B "$dir" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
            cmake --build "$dir" -j "$jobs"
    } >"$log" 2>&1 || status=$?
    # A header's warning is printed once per file that includes it; each
    # place is counted once.
    warnings=$({ grep -E 'warning:' "$log" || true; } | sort -u | wc -l)
    if [ "$status" -eq 0 ] && [ "$warnings" -eq 0 ]; then
        results+=("$name built, 0 warnings")
    elif [ "$status" -eq 0 ]; then
        results+=("$name built, $warnings warnings")
        grep -E 'warning:' "$log" | sort -u | head -n 20
        bad=1
    else
        results+=("$name FAILED, $warnings warnings")
        grep -E 'error|warning:|undefined reference' "$log" | head -n 20
        bad=1
    fi
    echo "${results[-1]} (log: $log)"
done

joined=$(printf '%s; ' "${results[@]}")
echo "check-compilers: ${joined%; }"
if [ "$bad" -ne 0 ]; then
    echo "check-compilers: FAIL"
    exit 1
fi
echo "check-compilers: PASS"
