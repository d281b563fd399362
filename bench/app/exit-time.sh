#!/usr/bin/env bash
# How long the game's process lives on after the player closes it during a
# game: the real program in a real window (Xvfb), started by an ordinary user
# in a folder holding the strongest demo opponent; her thumbnail starts a
# game, two busy processes of normal priority fill the cores, the menu's Выход
# asks and Да answers.
# Timed from the answer to the process's end, as its parent sees it, with the
# busy processes in the game's own session and in sessions of their own.
#
#   bench/app/exit-time.sh [--runs N] [PELVANTA [PELVANTA_ARCHIVE]]
#
# As root (it installs xvfb and xdotool when missing, and runs the game as the
# ordinary user pelvanta-bench). One line per run:
#   run K together_ms T apart_ms A
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=5
if [ "${1:-}" = --runs ]; then
    runs=$2
    shift 2
fi
game=$(realpath "${1:-build/app/pelvanta}")
archive=$(realpath "${2:-build/tools/pelvanta-archive/pelvanta-archive}")
user=pelvanta-bench
[ "$(id -u)" -eq 0 ] || {
    echo "exit-time: run as root (the game itself runs as $user)" >&2
    exit 1
}
source scripts/packages.sh
need_packages exit-time xvfb xdotool >/dev/null
id "$user" >/dev/null 2>&1 || useradd -M -r -s /usr/sbin/nologin "$user"

work=$(mktemp -d /tmp/pelvanta-exit.XXXXXX)
display=:$((70 + RANDOM % 20))
busy=()
xvfb=""
cleanup() {
    [ ${#busy[@]} -eq 0 ] || kill "${busy[@]}" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
# The strongest demo opponent alone, so that the game's searches run until
# they are abandoned.
"$archive" demo "$work/demo" >/dev/null
strongest=$(for f in "$work"/demo/30*.p_g; do
    echo "$("$archive" inspect "$f" | sed -n 's/.*searchDepth \([0-9]*\).*/\1/p') $f"
done | sort -n | tail -n 1 | cut -d' ' -f2)
cp "$strongest" "$work/3000.p_g"
rm -rf "$work/demo"
chmod -R a+rX "$work"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
export DISPLAY=$display

# The id of a shown window of process PID named NAME, within 30 s.
find_window() { # PID NAME
    local found
    for _ in $(seq 1 300); do
        found=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null |
            head -n 1 || true)
        [ -n "$found" ] && echo "$found" && return 0
        sleep 0.1
    done
    return 1
}

# One close: the game and the two busy processes in one session (so in one
# scheduling group), or each in a session of its own, as a desktop starts its
# programs. Prints the time from the answer to the process's end, in ms.
close_once() { # together|apart
    local spawn=()
    [ "$1" = apart ] && spawn=(setsid)
    (cd "$work" && exec "${spawn[@]}" setpriv --reuid="$user" --regid="$user" --init-groups \
        env HOME="$work" QT_QPA_PLATFORM=xcb "$game") >/dev/null 2>&1 &
    local pid=$! window question start end
    window=$(find_window "$pid" Pelvanta) || {
        echo "exit-time: no window" >&2
        exit 1
    }
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --sync $((X + 488)) $((Y + 95)) click 1 # her thumbnail: a game
    sleep 1
    for _ in 1 2; do
        "${spawn[@]}" bash -c 'while :; do :; done' &
        busy+=($!)
    done
    sleep 2 # the searches and two busy processes share the cores
    xdotool mousemove --sync $((X + 24)) $((Y + 8)) click 1 # Игра
    sleep 0.5
    xdotool mousemove --sync $((X + 54)) $((Y + 94)) click 1 # Выход
    question=$(find_window "$pid" Выход) || {
        echo "exit-time: closing during the game asked nothing" >&2
        exit 1
    }
    xdotool windowfocus --sync "$question"
    start=$(date +%s%N)
    xdotool key shift+Tab space # Да; Нет is the default
    wait "$pid" || true
    end=$(date +%s%N)
    kill "${busy[@]}" 2>/dev/null || true
    wait "${busy[@]}" 2>/dev/null || true
    busy=()
    echo $(((end - start) / 1000000))
    sleep 1
}

for run in $(seq 1 "$runs"); do
    echo "run $run together_ms $(close_once together) apart_ms $(close_once apart)"
done
