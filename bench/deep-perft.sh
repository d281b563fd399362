#!/bin/bash
# The deep generator check, too long for the test suite: perft to depth 10
# from the start and to depth 8 from three king-rich positions, by the list
# generator and by the bit-board generator (--fast), which must agree; the
# start's count must also be the known one. Prints each count and the time it
# took. Usage: bench/deep-perft.sh [BUILD_DIR]   (default: build)
set -euo pipefail
engine="${1:-build}/tools/pelvanta-engine/pelvanta-engine"
[ -x "$engine" ] || { echo "no $engine: build the pelvanta-engine target first" >&2; exit 2; }

failed=0
check() {  # fen depth [expected]
    local fen=$1 depth=$2 expected=${3:-}
    local t0 t1 t2 list fast
    t0=$(date +%s.%N)
    list=$("$engine" perft "$fen" "$depth")
    t1=$(date +%s.%N)
    fast=$("$engine" perft "$fen" "$depth" --fast)
    t2=$(date +%s.%N)
    printf '%-45s depth %2d  list %12s (%5.2f s)  fast %12s (%5.2f s)' "$fen" "$depth" \
        "$list" "$(echo "$t1 - $t0" | bc)" "$fast" "$(echo "$t2 - $t1" | bc)"
    if [ "$list" != "$fast" ] || { [ -n "$expected" ] && [ "$fast" != "$expected" ]; }; then
        echo "  MISMATCH${expected:+ (expected $expected)}"
        failed=1
    else
        echo "  ok"
    fi
}

check start 10 22450647
check start 11
check "W:WKa1,Kc1,e3,g3,Kb6:BKh8,Kf8,d6,b8,Kg5" 8
check "B:WKc1,Ka5,e3,g3,Kf4,b2:BKh8,Kd8,Kb6,f6,h6,e7" 8
check "B:WKd4,c1,g3,Kh2,a3:BKe7,Kb8,f6,Kc5,h8" 8
exit "$failed"
