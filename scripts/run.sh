#!/usr/bin/env bash
# Builds the game, writes the demo opponents and the rules page into run/,
# and starts the game there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

cmake -S . -B build -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target pelvanta pelvanta-archive
mkdir -p run
build/tools/pelvanta-archive/pelvanta-archive demo run
cp resources/Rules.htm run/
cd run
exec ../build/app/pelvanta "$@"
