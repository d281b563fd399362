#!/usr/bin/env bash
# Checks an install of the build into a staging folder (DESTDIR), one case
# per call:  check_install.sh CASE
# The environment names the build (PELVANTA_BUILD, PELVANTA_SOURCE), the
# staging folder (PELVANTA_STAGE), the install folders relative to the prefix
# (GAMEDIR, BINDIR, DATADIR, APPDATA, MANDIR) and the photo maker (MAKE_PHOTOS).
# PELVANTA_PREFIX=/usr with an empty stage checks the installed package.
set -euo pipefail
case=$1
prefix=${PELVANTA_PREFIX:-/opt/pelvanta-test}  # not /usr: an install must work under any prefix
root=$PELVANTA_STAGE$prefix
game=$root/$GAMEDIR/pelvanta
data=$root/$DATADIR
desktop=$root/$APPDATA/applications/org.example.pelvanta.desktop
metainfo=$root/$APPDATA/metainfo/org.example.pelvanta.metainfo.xml

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Everything in a folder, with sizes, times, modes and contents, to show that
# a run changed nothing in it.
snapshot() {
    (cd "$1" && find . -printf '%p %y %s %T@ %m\n' | sort && find . -type f -print0 |
        sort -z | xargs -0 -r sha256sum)
}

# Starts a game program in a folder on a virtual display and tells what it
# read there, as seen from outside (strace): "folder DIR", the folder it
# plays in; "opened NAME" for each archive it opened; and, once F1 is
# pressed, "rules PATH", the page it opens or hands to the desktop to open.
game_reads() {  # folder, program...
    local folder=$1
    shift
    (cd "$folder" && xvfb-run -a -s '-nolisten tcp' bash -c '
        strace -f -qq -s 4096 -e trace=chdir,openat,execve -o "$0" "$@" &
        window=$(xdotool search --sync --onlyvisible --name "^Pelvanta\$" | head -n 1)
        xdotool windowfocus --sync "$window" key F1
        for _ in $(seq 1 100); do grep -q "Rules\.htm" "$0" && break; sleep 0.1; done
        kill "$(sed -n "1s/ .*//p" "$0")"  # the game: the first process traced
        wait' "$scratch/trace" env QT_QPA_PLATFORM=xcb "$@") 2>"$scratch/stderr" ||
        fail "the game could not be run: $(cat "$scratch/stderr")"
    local played
    played=$(sed -n 's/^[0-9]* *chdir("\(.*\)") = 0$/\1/p' "$scratch/trace" | tail -n 1)
    echo "folder $(cd "$folder" && realpath "${played:-.}")"
    sed -n 's/.*openat(AT_FDCWD, "\(30[0-4][0-9]\.p_g\)", .* = [0-9][0-9]*$/opened \1/p' \
        "$scratch/trace"
    { grep -o '"[^"]*Rules\.htm"' "$scratch/trace" || true; } | head -n 1 |
        sed 's/^"\(file:\/\/\)\?/rules /; s/"$//'
}

# An archive as the installed tool reads it: "NAME depth D photos N".
inspected() {  # archive
    "$root/$BINDIR/pelvanta-archive" inspect "$1" | awk -v name="$(basename "$1")" '
        /^  searchDepth/ { depth = $2 } /^  photos/ { photos = $2 + 0 }
        END { print name, "depth", depth, "photos", photos }'
}

expect_line() {  # text, line
    grep -qxF -- "$2" <<<"$1" || fail "expected the line '$2' in:"$'\n'"$1"
}

count_opened() {
    grep -c '^opened ' <<<"$1" || true
}

case $case in
stage)
    rm -rf "$PELVANTA_STAGE"
    DESTDIR=$PELVANTA_STAGE cmake --install "$PELVANTA_BUILD" --prefix "$prefix" >"$scratch/log" ||
        fail "install into the staging folder failed: $(cat "$scratch/log")"
    for f in "$game" "$root/$BINDIR/pelvanta-engine" "$root/$BINDIR/pelvanta-archive" \
        "$data/Rules.htm" "$data/3000.p_g" "$desktop" "$metainfo"; do
        [ -f "$f" ] || fail "the install has no $f"
    done
    ;;

refuse)
    # A prefix under a plain file can be written by nobody, root included.
    touch "$scratch/blocker"
    if DESTDIR=$scratch/blocker/x cmake --install "$PELVANTA_BUILD" --prefix "$prefix" \
        >"$scratch/out" 2>"$scratch/err"; then
        fail "an install under a plain file succeeded"
    fi
    grep -q "pelvanta install: cannot install into .* is not a folder" "$scratch/err" ||
        fail "no clear message: $(cat "$scratch/err")"
    grep -q "Installing" "$scratch/out" && fail "files were installed before the refusal"
    [ "$(find "$scratch" -mindepth 1 -not -name err -not -name out)" = "$scratch/blocker" ] ||
        fail "the refused install left files: $(find "$scratch")"
    # A build that was configured but never built installs nothing either.
    cmake -S "$PELVANTA_SOURCE" -B "$scratch/unbuilt" -G Ninja -Wno-dev -DPELVANTA_TESTS=OFF \
        -DPELVANTA_BENCH=OFF >/dev/null
    if cmake --install "$scratch/unbuilt" --prefix "$scratch/prefix" >"$scratch/out" \
        2>"$scratch/err"; then
        fail "an install of an unbuilt tree succeeded"
    fi
    grep -q "pelvanta install: the build is incomplete" "$scratch/err" ||
        fail "no clear message: $(cat "$scratch/err")"
    [ ! -e "$scratch/prefix" ] || fail "the refused install wrote $(find "$scratch/prefix")"
    ;;

desktop-entry)
    desktop-file-validate "$desktop" || fail "desktop-file-validate found faults"
    for line in 'Type=Application' 'Categories=Game;BoardGame;' 'Exec=pelvanta' 'Icon=pelvanta'; do
        grep -qxF "$line" "$desktop" || fail "the desktop entry lacks $line"
    done
    for key in 'Name' 'Name\[ru\]' 'Comment' 'Comment\[ru\]'; do
        grep -q "^$key=." "$desktop" || fail "the desktop entry lacks $key"
    done
    [ -x "$root/$GAMEDIR/$(sed -n 's/^Exec=//p' "$desktop")" ] ||
        fail "the desktop entry's command is not the installed game"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$root/$APPDATA/icons/hicolor/48x48/apps/$icon.png" ] ||
        fail "the desktop entry's icon $icon is not installed"
    grep -qF "<icon type=\"stock\">$icon</icon>" "$metainfo" ||
        fail "the metainfo names another icon than the desktop entry"
    ;;

metainfo)
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli found faults"
    grep -q '<id>org.example.pelvanta</id>' "$metainfo" || fail "wrong component id"
    grep -q '<launchable type="desktop-id">org.example.pelvanta.desktop</launchable>' \
        "$metainfo" || fail "the metainfo does not name the installed desktop entry"
    grep -q '<release version="2.1"' "$metainfo" || fail "no release 2.1"
    grep -q '<content_rating type="oars-' "$metainfo" || fail "no content rating"
    ;;

icons)
    # The size is read from the PNG header itself, not from the folder name.
    for size in 16 24 32 48 64 128 256; do
        png=$root/$APPDATA/icons/hicolor/${size}x${size}/apps/pelvanta.png
        [ -f "$png" ] || fail "no icon $png"
        [ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is no PNG"
        read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
            awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
        [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
            fail "$png is ${width}x${height}, not ${size}x${size}"
        [ "$(od -An -tu1 -j25 -N1 "$png" | tr -d ' ')" = 6 ] || fail "$png has no alpha channel"
    done
    ;;

man-pages)
    for page in man6/pelvanta.6 man1/pelvanta-engine.1 man1/pelvanta-archive.1; do
        file=$root/$MANDIR/$page
        [ -f "$file" ] || fail "no manual page $file"
        MANWIDTH=80 man --warnings -l "$file" >"$scratch/page" 2>"$scratch/warnings" ||
            fail "man cannot format $file"
        [ ! -s "$scratch/warnings" ] || fail "$file: $(cat "$scratch/warnings")"
        grep -q '^NAME' "$scratch/page" || fail "$file has no NAME section"
    done
    ;;

tools)
    for tool in pelvanta-engine pelvanta-archive; do
        program=$root/$BINDIR/$tool
        out=$("$program" --help 2>"$scratch/err") || fail "$tool --help failed"
        [[ $out == usage:* ]] && [ ! -s "$scratch/err" ] || fail "$tool --help: no usage on stdout"
        [ "$("$program" --version)" = 2.1 ] || fail "$tool --version is not 2.1"
        for mixed in "--help --version" "--version demo" "inspect --help"; do
            # shellcheck disable=SC2086
            if "$program" $mixed >"$scratch/out" 2>"$scratch/err"; then
                fail "$tool $mixed succeeded"
            fi
            [ ! -s "$scratch/out" ] || fail "$tool $mixed wrote to stdout"
            [ "$(wc -l <"$scratch/err")" = 1 ] || fail "$tool $mixed: not one line: $(cat "$scratch/err")"
        done
    done
    ;;

gallery)
    # Started from the menu: the desktop entry's command, in a home-like folder
    # with no archive (only files that merely look alike).
    home=$scratch/home
    mkdir -p "$home"
    echo notes >"$home/notes.txt"
    echo x >"$home/3045.p_g"  # past the range the game reads
    before=$(snapshot "$home")
    command=$(sed -n 's/^Exec=//p' "$desktop")
    out=$(game_reads "$home" env PATH="$root/$GAMEDIR:$PATH" "$command")
    expect_line "$out" "folder $data"
    expect_line "$out" "rules $data/Rules.htm"
    installed=$(find "$data" -name '30[0-4][0-9].p_g' | wc -l)
    [ "$installed" -gt 0 ] || fail "no installed archives"
    [ "$(count_opened "$out")" = "$installed" ] ||
        fail "$installed archives installed, but the game opened:"$'\n'"$out"
    for archive in "$data"/30[0-4][0-9].p_g; do
        [[ $(inspected "$archive") =~ photos\ [1-9] ]] || fail "$archive does not load"
    done
    [ "$before" = "$(snapshot "$home")" ] || fail "the game changed the player's folder"
    ;;

own-archive)
    # A player's folder with one archive she packed herself: that is the one
    # opponent offered, and the folder is left exactly as it was.
    player=$scratch/player
    mkdir -p "$player" "$scratch/jpegs"
    "$MAKE_PHOTOS" "$scratch/jpegs"
    "$root/$BINDIR/pelvanta-archive" pack -o "$player/3017.p_g" --thumb "$scratch/jpegs/thumb.jpg" \
        --depth 23 --weights 4,6,1,2 "$scratch/jpegs/photo1.jpg" "$scratch/jpegs/photo2.jpg"
    chmod a-w "$player/3017.p_g"
    before=$(snapshot "$player")
    out=$(game_reads "$player" "$game")
    expect_line "$out" "folder $player"
    expect_line "$out" "rules $data/Rules.htm"  # the folder has none of its own
    [ "$(count_opened "$out")" = 1 ] || fail "more than her own opponent opened:"$'\n'"$out"
    expect_line "$out" "opened 3017.p_g"
    [ "$(inspected "$player/3017.p_g")" = "3017.p_g depth 23 photos 2" ] ||
        fail "her archive reads $(inspected "$player/3017.p_g")"
    [ "$before" = "$(snapshot "$player")" ] || fail "the game changed the player's folder"

    # With a rules page of its own, F1 opens that one.
    echo '<p>house rules</p>' >"$player/Rules.htm"
    out=$(game_reads "$player" "$game")
    expect_line "$out" "rules $player/Rules.htm"
    ;;

build-tree)
    # The program in the build tree has no installed data: it stays in the
    # folder it starts in, as scripts/run.sh needs.
    mkdir -p "$scratch/empty"
    out=$(game_reads "$scratch/empty" "$PELVANTA_BUILD_GAME")
    expect_line "$out" "folder $scratch/empty"
    [ "$(count_opened "$out")" = 0 ] || fail "an empty folder offered opponents:"$'\n'"$out"
    ;;

*)
    fail "unknown case $case"
    ;;
esac
echo "ok: $case"
