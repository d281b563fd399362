#!/usr/bin/env bash
# Whole check of the Debian package, run as root: builds it, runs lintian,
# installs it with apt-get, starts the installed game from its menu entry's
# command under a virtual display, purges it and checks that none of its
# files is left.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" -ne 0 ]; then
    echo "check-package: run as root (it installs and purges the package): sudo $0" >&2
    exit 1
fi
if dpkg-query -W -f='${Status}' pelvanta 2>/dev/null | grep -q "install ok installed"; then
    echo "check-package: pelvanta is installed already; it would be purged, so stopping" >&2
    exit 1
fi

source scripts/packages.sh
need_packages check-package lintian xvfb xauth xdotool strace dpkg-dev

echo "== building the package"
scripts/package.sh
deb=dist/pelvanta_$(dpkg-parsechangelog -S Version)_$(dpkg --print-architecture).deb

echo "== lintian"
lintian --fail-on error "$deb" | tee /tmp/check-package-lintian.txt
echo "lintian: $(grep -c '^E:' /tmp/check-package-lintian.txt || true) errors," \
    "$(grep -c '^W:' /tmp/check-package-lintian.txt || true) warnings"

echo "== installing with apt-get"
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "./$deb"
files=$(dpkg-query -L pelvanta)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
desktop=/usr/share/applications/org.example.pelvanta.desktop
command=$(sed -n 's/^Exec=//p' "$desktop")
# A desktop session's search path (Debian's /etc/profile for a user), so
# /usr/games is in it, and the user's home as the folder, as a menu starts
# a program.
session_path=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games
mkdir -p "$work/home"

echo "== what the menu's command '$command' plays, seen from outside"
PELVANTA_STAGE= PELVANTA_PREFIX=/usr GAMEDIR=games BINDIR=games DATADIR=share/games/pelvanta \
    APPDATA=share MANDIR=share/man PATH=$session_path tests/install/check_install.sh gallery

echo "== starting the game from the menu's command under a virtual display"
cat >"$work/session.sh" <<'SESSION'
set -eu
"$1" 2>/dev/null &
game=$!
window=""
for _ in $(seq 1 100); do
    window=$(xdotool search --onlyvisible --name '^Pelvanta$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    kill -0 "$game" 2>/dev/null || { echo "the game ended before showing its window"; exit 1; }
    sleep 0.1
done
[ -n "$window" ] || { echo "no window named Pelvanta appeared"; kill "$game"; exit 1; }
echo "window $window: $(xdotool getwindowgeometry "$window" | tr -s ' \n' ' ')"
sleep 1
kill -0 "$game" || { echo "the game ended on its own"; exit 1; }
kill "$game"
wait "$game" 2>/dev/null || true
echo "the game ran and was closed"
SESSION
(cd "$work/home" && PATH=$session_path xvfb-run -a bash "$work/session.sh" "$command")
[ -z "$(ls -A "$work/home")" ] || {
    echo "check-package: the game wrote into the folder it started in" >&2
    exit 1
}

echo "== purging"
apt-get purge -y -qq pelvanta
left=()
while IFS= read -r path; do
    [ -e "$path" ] && [ ! -d "$path" ] && left+=("$path")
    # folders of the package's own, named after it
    [ -d "$path" ] && [[ $path == *pelvanta* ]] && left+=("$path/")
done <<<"$files"
if [ ${#left[@]} -ne 0 ]; then
    echo "check-package: left after purge: ${left[*]}" >&2
    exit 1
fi
echo "purge left none of the package's $(wc -l <<<"$files") paths"
echo "check-package: all checks passed"
