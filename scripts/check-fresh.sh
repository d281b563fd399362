#!/usr/bin/env bash
# The project on a fresh Debian 12, run as root; not part of the test command.
# Makes a minbase tree with debootstrap, copies the checkout's HEAD into it
# (git archive) and runs there, inside chroot and from nothing, the test
# command scripts/test.sh and then scripts/package.sh. Then installs the
# package into a second fresh tree without recommended packages and starts
# the game there headless, as an ordinary user, from the menu entry's command.
# Prints one summary line; the logs stay in the work folder.
#
# Work folder: PELVANTA_FRESH_DIR (default /var/tmp/pelvanta-fresh), outside
# the checkout. It keeps debootstrap's tarball and the downloaded packages
# for the next run; the trees themselves are made new every run and removed
# at the end, failed or not. The mirror is the machine's own (its apt
# sources). PELVANTA_FRESH_TEST_MINUTES bounds the test command (default 150).
# PELVANTA_FRESH_DEB=FILE checks only the install of a package built before.
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$PWD
suite=bookworm  # Debian 12

if [ "$(id -u)" -ne 0 ]; then
    echo "check-fresh: run as root (debootstrap, mounts, chroot): sudo $0" >&2
    exit 1
fi
base=${PELVANTA_FRESH_DIR:-/var/tmp/pelvanta-fresh}
base=$(realpath -m "$base")
case $base/ in
"$checkout"/*)
    echo "check-fresh: the work folder $base must lie outside the checkout" >&2
    exit 1
    ;;
esac
commit=$(git rev-parse --short HEAD)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "check-fresh: the checkout has uncommitted changes; only HEAD ($commit) is checked"

# The machine's own mirror: the first URIs of its deb822 sources, else the
# first deb line of sources.list.
mirror=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' \
    /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { for (i = 2; i <= NF; ++i)
    if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' /etc/apt/sources.list 2>/dev/null)
if [ -z "$mirror" ]; then
    echo "check-fresh: no Debian mirror in this machine's apt sources" >&2
    exit 1
fi

source scripts/packages.sh
need_packages check-fresh debootstrap

logs=$base/logs
cache=$base/cache
tarball=$cache/$suite-minbase-$(dpkg --print-architecture).tgz
mkdir -p "$logs" "$cache/archives/partial"
rm -f "$logs"/*.log

# Every mount below a tree, deepest first.
mounts_under() {
    awk -v top="$1/" 'index($5 "/", top) == 1 { print $5 }' /proc/self/mountinfo | sort -r
}

# Ends what still runs inside a tree, unmounts everything below it and
# removes it; never crosses into a mount it failed to undo.
remove_tree() {
    local tree=$1 p
    [ -e "$tree" ] || return 0
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$tree" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
    local m
    while read -r m; do
        [ -n "$m" ] && { umount "$m" 2>/dev/null || umount -l "$m"; }
    done < <(mounts_under "$tree")
    if [ -n "$(mounts_under "$tree")" ]; then
        echo "check-fresh: could not unmount everything below $tree; left in place" >&2
        return 1
    fi
    rm -rf --one-file-system "$tree"
}

trees=()
cleanup() {
    local tree
    for tree in "${trees[@]}"; do remove_tree "$tree" || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A new minbase tree at base/NAME from the cached packages, with the
# machine's apt sources and name servers, proc, dev and sys, and the shared
# package cache mounted.
new_tree() {  # name
    local tree=$base/$1
    remove_tree "$tree"  # left by an interrupted run
    trees+=("$tree")
    # The tarball holds only downloaded packages; a week-old one is renewed
    # so the base system stays close to the archive.
    if [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
        echo "   downloading the base system into $tarball"
        remove_tree "$base/tarball"
        debootstrap --variant=minbase --make-tarball="$tarball.new" "$suite" "$base/tarball" \
            "$mirror" >"$logs/debootstrap-tarball.log" 2>&1 || {
            tail -n 20 "$logs/debootstrap-tarball.log" >&2
            return 1
        }
        mv "$tarball.new" "$tarball"
        rm -rf "$base/tarball"
    fi
    debootstrap --variant=minbase --unpack-tarball="$tarball" "$suite" "$tree" "$mirror" \
        >"$logs/debootstrap-$1.log" 2>&1 || {
        tail -n 20 "$logs/debootstrap-$1.log" >&2
        return 1
    }
    cp /etc/resolv.conf "$tree/etc/resolv.conf"
    if compgen -G '/etc/apt/sources.list.d/*.sources' >/dev/null; then
        rm -f "$tree/etc/apt/sources.list"
        cp /etc/apt/sources.list.d/*.sources "$tree/etc/apt/sources.list.d/"
    elif [ -f /etc/apt/sources.list ]; then
        cp /etc/apt/sources.list "$tree/etc/apt/sources.list"
    fi
    mount -t proc proc "$tree/proc"
    # Recursive (with /dev/pts and /dev/shm), and slaves, so that unmounting
    # them never reaches the machine's own.
    mount --rbind /dev "$tree/dev"
    mount --make-rslave "$tree/dev"
    mount --rbind /sys "$tree/sys"
    mount --make-rslave "$tree/sys"
    mount --bind "$cache/archives" "$tree/var/cache/apt/archives"
}

# A command in a tree as root logs in on a new machine: a clean environment
# and root's login PATH.
in_tree() {  # name, command
    chroot "$base/$1" /usr/bin/env -i TERM=dumb HOME=/root /bin/bash -l -c "$2"
}

elapsed() { echo "$(($(date +%s) - $1)) s"; }

# A long command with its output in a log, waited for in the background so
# that a signal ends this script, and with it the trees, at once.
logged() {  # log, command...
    "${@:2}" >"$1" 2>&1 &
    wait $!
}

test_result=SKIPPED
package_result=SKIPPED
install_result=SKIPPED
summary() {
    echo "check-fresh: test.sh $test_result, package $package_result, install $install_result"
}

echo "== check-fresh: $suite from $mirror, commit $commit, work folder $base"

# 1. The test command and the package, from nothing: sets deb, or ends the
# run. Not called as a condition, so that set -e holds inside.
build_and_package() {
    local start status totals limit=${PELVANTA_FRESH_TEST_MINUTES:-150}
    start=$(date +%s)
    echo "== build tree: a fresh $suite"
    new_tree build
    mkdir -p "$base/build/root/pelvanta"
    git archive --format=tar HEAD | tar -C "$base/build/root/pelvanta" -xf -
    echo "== build tree: scripts/test.sh (log: $logs/test.log)"
    status=0
    logged "$logs/test.log" timeout -k 60 "$((limit * 60))" \
        chroot "$base/build" /usr/bin/env -i TERM=dumb HOME=/root /bin/bash -l -c \
        'cd /root/pelvanta && scripts/test.sh' || status=$?
    totals=$(grep -E '^total: [0-9]+ passed, [0-9]+ failed' "$logs/test.log" | tail -n 1 || true)
    if [ "$status" -eq 0 ]; then
        test_result="PASS (${totals:-no total line})"
    elif [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        test_result="TIMEOUT after $limit min (${totals:-no total line})"
    else
        test_result="FAIL, status $status (${totals:-no total line})"
    fi
    echo "   test.sh: $test_result in $(elapsed "$start")"
    if [ "$status" -ne 0 ]; then
        tail -n 30 "$logs/test.log"
        summary
        exit 1
    fi

    start=$(date +%s)
    echo "== build tree: scripts/package.sh (log: $logs/package.log)"
    if logged "$logs/package.log" in_tree build 'cd /root/pelvanta && scripts/package.sh'; then
        deb=$(cd "$base/build/root/pelvanta/dist" && ls pelvanta_*.deb)
        cp "$base/build/root/pelvanta/dist/$deb" "$base/$deb"
        package_result=PASS
    else
        tail -n 30 "$logs/package.log"
        package_result=FAIL
    fi
    echo "   package: $package_result in $(elapsed "$start")"
    remove_tree "$base/build"
    if [ "$package_result" != PASS ]; then
        summary
        exit 1
    fi
}

if [ -n "${PELVANTA_FRESH_DEB:-}" ]; then
    deb=$(basename "$PELVANTA_FRESH_DEB")
    cp "$PELVANTA_FRESH_DEB" "$base/$deb"
    package_result="given ($deb)"
else
    build_and_package
fi

# 2. The package alone on a second fresh tree, started by a player.
start=$(date +%s)
echo "== install tree: a fresh $suite, $deb without recommended packages (log: $logs/install.log)"
new_tree install
cp "$base/$deb" "$base/install/root/"
git show HEAD:tests/install/check_install.sh >"$base/install/usr/local/bin/check_install.sh"
chmod 755 "$base/install/usr/local/bin/check_install.sh"
install_check() {
    in_tree install "cd /root && apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends ./$deb" ||
        return 1
    # Qt's own Russian button texts.
    [ -f "$base/install/usr/share/qt6/translations/qtbase_ru.qm" ] || {
        echo "no Russian texts for Qt's buttons"
        return 1
    }
    # What the install checks look at the game with.
    in_tree install "DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        $(test_packages install | tr '\n' ' ')" || return 1
    in_tree install 'useradd --create-home --shell /bin/bash player' || return 1
    # The install tests on the installed package, as the player in a login
    # session, headless: the tools, the icons, and the menu's command in a
    # folder without archives playing the installed gallery.
    local case
    for case in tools icons gallery; do
        in_tree install "runuser -l player -c 'PELVANTA_STAGE= \
            PELVANTA_PREFIX=/usr GAMEDIR=games BINDIR=games DATADIR=share/games/pelvanta \
            APPDATA=share MANDIR=share/man check_install.sh $case'" || return 1
    done
    # The menu's command, found on the player's own PATH, starts in an empty
    # folder, keeps running, and writes nothing there.
    local command
    command=$(sed -n 's/^Exec=//p' "$base/install/usr/share/applications/org.example.pelvanta.desktop")
    in_tree install "runuser -l player -c '
        set -eu
        folder=\$(mktemp -d)
        cd \"\$folder\"
        echo \"the menu command: \$(command -v $command)\"
        QT_QPA_PLATFORM=offscreen $command 2>/tmp/game.err &
        game=\$!
        sleep 3
        kill -0 \$game || { echo \"the game ended: \$(cat /tmp/game.err)\"; exit 1; }
        kill \$game
        wait \$game 2>/dev/null || true
        [ -z \"\$(ls -A)\" ] || { echo \"the game wrote into its folder: \$(ls -A)\"; exit 1; }
        echo \"the game ran for 3 s and was closed\"'" || return 1
}
if logged "$logs/install.log" install_check; then
    install_result=PASS
else
    tail -n 30 "$logs/install.log"
    install_result=FAIL
fi
echo "   install: $install_result in $(elapsed "$start")"
remove_tree "$base/install"
summary
[ "$install_result" = PASS ]
