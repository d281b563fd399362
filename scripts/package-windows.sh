#!/usr/bin/env bash
# Builds dist/pelvanta-<version>-setup.exe, the Windows installer: the game and
# both tools cross-compiled for 64-bit Windows 10 and later with MinGW-w64,
# with the Qt and libjpeg-turbo they need built from Debian's own sources.
#
# Those two are built once into a cache outside the checkout,
# $PELVANTA_WINDOWS_CACHE (default /var/cache/pelvanta-windows), and reused;
# remove that folder to build them again. The first build of Qt takes most of
# an hour on two cores.
#
#   scripts/package-windows.sh          everything
#   scripts/package-windows.sh --deps   only the cached Qt and libjpeg-turbo
#
# The heavy builds run under nice with ninja -j2 unless PELVANTA_JOBS says
# otherwise. As root it installs the Debian packages it needs; otherwise it
# says what to run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
cache=${PELVANTA_WINDOWS_CACHE:-/var/cache/pelvanta-windows}
jobs=${PELVANTA_JOBS:-2}
only_deps=0
[ "${1:-}" = --deps ] && only_deps=1

log() { echo "package-windows: $*"; }
die() {
    echo "package-windows: $*" >&2
    exit 1
}

# qt6-base-dev holds the host Qt's CMake packages (Qt6HostInfo and its tools)
# that Qt's cross build and ours look for under QT_HOST_PATH_CMAKE_DIR.
# g++ and libturbojpeg0-dev build the archive tool for this machine, which
# paints the demo gallery.
source scripts/packages.sh
need_packages package-windows g++-mingw-w64-x86-64-posix mingw-w64-tools nsis wine64 dpkg-dev \
    cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools qt6-translations-l10n googletest \
    g++ libturbojpeg0-dev

toolchain=$root/cmake/mingw-w64-x86_64.cmake
triple=x86_64-w64-mingw32
heavy=(nice -n 19)
mkdir -p "$cache" || die "cannot make $cache (set PELVANTA_WINDOWS_CACHE to a writable folder)"

# Debian's source packages, through a private source list made from the
# machine's own apt sources, so no address is written here.
fetch_source() { # package -> prints the unpacked folder
    local pkg=$1 apt_dir=$cache/apt
    local opts=(-o Dir::Etc::sourcelist="$apt_dir/sources.list" -o Dir::Etc::sourceparts=-
        -o Dir::State::Lists="$apt_dir/lists")
    if ! ls -d "$cache/src/$pkg"-*/ >/dev/null 2>&1; then
        mkdir -p "$apt_dir/lists/partial" "$cache/src"
        if [ ! -s "$apt_dir/sources.list" ]; then
            local uri
            uri=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null ||
                true)
            [ -n "$uri" ] || uri=$(awk '$1 == "deb" {print $2; exit}' /etc/apt/sources.list)
            [ -n "$uri" ] || die "no Debian archive found in the apt sources"
            echo "deb-src $uri bookworm main" >"$apt_dir/sources.list"
        fi
        apt-get -q "${opts[@]}" update >&2
        (cd "$cache/src" && apt-get -q "${opts[@]}" source "$pkg" >&2)
    fi
    ls -d "$cache/src/$pkg"-*/ | head -n 1 | sed 's:/$::'
}

build_qt() {
    local prefix=$cache/qt
    [ -f "$prefix/.done" ] && return
    local src
    src=$(fetch_source qt6-base)
    log "building Qt for Windows from $src into $prefix (long)"
    rm -rf "$cache/qt-build" "$prefix"
    # Core, Gui, Widgets, Test and the windows and offscreen platforms; the
    # third-party libraries Qt bundles, since MinGW has none of them.
    cmake -S "$src" -B "$cache/qt-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
        -DFEATURE_system_doubleconversion=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
        -DINPUT_opengl=no -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
        -DFEATURE_testlib=ON -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF \
        -DFEATURE_tabletevent=OFF \
        >"$cache/qt-configure.log" 2>&1 || {
        tail -n 30 "$cache/qt-configure.log" >&2
        die "Qt's configure failed (log: $cache/qt-configure.log)"
    }
    "${heavy[@]}" ninja -C "$cache/qt-build" -j"$jobs" >"$cache/qt-build.log" 2>&1 || {
        tail -n 30 "$cache/qt-build.log" >&2
        die "Qt's build failed (log: $cache/qt-build.log)"
    }
    ninja -C "$cache/qt-build" install >"$cache/qt-install.log" 2>&1 ||
        die "Qt's install failed (log: $cache/qt-install.log)"
    touch "$prefix/.done"
    rm -rf "$cache/qt-build"  # only the installed Qt is used from here on
}

# A static library for Windows built once into $cache/NAME from SOURCE, with
# the toolchain and the further CMake options given.
build_cached() { # name, label, source, options...
    local name=$1 label=$2 src=$3 prefix=$cache/$1
    shift 3
    [ -f "$prefix/.done" ] && return
    log "building $label for Windows from $src into $prefix"
    rm -rf "$cache/$name-build" "$prefix"
    cmake -S "$src" -B "$cache/$name-build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >"$cache/$name.log" 2>&1 &&
        "${heavy[@]}" ninja -C "$cache/$name-build" -j"$jobs" install >>"$cache/$name.log" 2>&1 || {
        tail -n 30 "$cache/$name.log" >&2
        die "$label's build failed (log: $cache/$name.log)"
    }
    touch "$prefix/.done"
    rm -rf "$cache/$name-build"
}

build_qt
# libjpeg-turbo without SIMD: nasm would be one more package, and the photos
# are small.
[ -f "$cache/libjpeg-turbo/.done" ] ||
    build_cached libjpeg-turbo libjpeg-turbo "$(fetch_source libjpeg-turbo)" -DENABLE_SHARED=OFF \
        -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON -DWITH_SIMD=OFF -DWITH_JAVA=OFF
build_cached googletest GoogleTest /usr/src/googletest -DBUILD_SHARED_LIBS=OFF \
    -Dgtest_disable_pthreads=OFF
# Qt's Russian texts where the Qt of the build looks for them, for the tests.
mkdir -p "$cache/qt/translations"
cp -u /usr/share/qt6/translations/qtbase_ru.qm "$cache/qt/translations/"
[ $only_deps -eq 1 ] && {
    log "dependencies ready in $cache"
    exit 0
}

# ---------------------------------------------------------------- the game
version=$(sed -n 's/^project(Pelvanta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
build=${PELVANTA_WINDOWS_BUILD:-$root/build-windows}
wine=/usr/lib/wine/wine64
mingw_dlls=(/usr/lib/gcc/$triple/12-posix/libstdc++-6.dll /usr/lib/gcc/$triple/12-posix/libgcc_s_seh-1.dll
    /usr/$triple/lib/libwinpthread-1.dll)
for dll in "${mingw_dlls[@]}"; do [ -f "$dll" ] || die "missing $dll"; done

# The demo gallery is painted by a build of the archive tool for this machine,
# the same pictures as the Linux build's; the Windows build installs them.
host=$build-host
log "painting the demo gallery in $host"
mkdir -p "$host"
cmake -S "$root" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELVANTA_GUI=OFF -DPELVANTA_BENCH=OFF -DPELVANTA_TESTS=OFF >"$host/configure.log" 2>&1 || {
    tail -n 30 "$host/configure.log" >&2
    die "the gallery's configure failed (log: $host/configure.log)"
}
"${heavy[@]}" ninja -C "$host" -j"$jobs" demo_gallery >"$host/build.log" 2>&1 || {
    grep -E 'error|FAILED' "$host/build.log" | head -n 30 >&2
    die "the gallery's build failed (log: $host/build.log)"
}

# Build steps that run a program of the build (the icons) and the tests run it
# under Wine, in a prefix of the build's own, with the DLLs found where they
# were built.
[ -x "$wine" ] || die "wine64 is needed to render the icons and run the tests: apt-get install wine64"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
mkdir -p "$build"
emulator=$build/wine-run
cat >"$emulator" <<RUN
#!/bin/sh
# Runs a program of this build under Wine.
export WINEPREFIX='$build/wine' WINEDEBUG=-all WINEDLLOVERRIDES='winemenubuilder.exe=d'
export WINEPATH='$(winpath "$cache/qt/bin");$(winpath "/usr/lib/gcc/$triple/12-posix");$(winpath "/usr/$triple/lib")'
export QT_PLUGIN_PATH='$(winpath "$cache/qt/plugins")' QT_QPA_PLATFORM=\${QT_QPA_PLATFORM:-offscreen}
exec $wine "\$@"
RUN
chmod +x "$emulator"

log "building Pelvanta $version for Windows in $build"
# The Linux build's optimisation (-O2); gcc 12 at -O3 gives a false -Wrestrict
# alarm in std::string.
PKG_CONFIG_LIBDIR=$cache/libjpeg-turbo/lib/pkgconfig PKG_CONFIG_PATH='' \
    cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELVANTA_WINDOWS_PREFIXES="$cache/qt;$cache/libjpeg-turbo;$cache/googletest" \
    -DCMAKE_PREFIX_PATH="$cache/qt;$cache/googletest" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" \
    -DPELVANTA_GALLERY_DIR="$host/gallery" \
    -DPELVANTA_BENCH=OFF \
    -DCMAKE_INSTALL_BINDIR=. -DPELVANTA_INSTALL_GAMEDIR=. -DPELVANTA_INSTALL_DATADIR=gallery \
    >"$build/configure.log" 2>&1 || {
    tail -n 30 "$build/configure.log" >&2
    die "configure failed (log: $build/configure.log)"
}
"${heavy[@]}" ninja -C "$build" -j"$jobs" >"$build/build.log" 2>&1 || {
    grep -E 'error|FAILED' "$build/build.log" | head -n 30 >&2
    die "build failed (log: $build/build.log)"
}
if grep -q 'warning:' "$build/build.log"; then
    grep 'warning:' "$build/build.log" | head -n 20 >&2
    die "the build has warnings (log: $build/build.log)"
fi

# ---------------------------------------------------------------- the installed tree
stage=$build/stage
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" --strip >"$build/install.log" 2>&1 || {
    tail -n 20 "$build/install.log" >&2
    die "install failed (log: $build/install.log)"
}
# Only Windows' part of the install: the programs, and the gallery with the
# rules page. The icon is inside each program.
rm -rf "$stage/share"

# Qt's libraries and plugins, the compiler's runtime, Qt's Russian texts. The
# prefix is the program's own folder, so Qt finds its plugins and translations
# beside the program.
cp "$cache/qt/bin/Qt6Core.dll" "$cache/qt/bin/Qt6Gui.dll" "$cache/qt/bin/Qt6Widgets.dll" "$stage/"
mkdir -p "$stage/platforms" "$stage/styles"
cp "$cache/qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$cache/qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "${mingw_dlls[@]}" "$stage/"
cp /usr/share/qt6/translations/qtbase_ru.qm "$stage/"
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = .\r\n' >"$stage/qt.conf"
"$triple-strip" --strip-unneeded "$stage"/*.dll "$stage"/*/*.dll

# ---------------------------------------------------------------- the installer
# NSIS gets the file list from the tree itself, so the uninstaller removes
# exactly what was installed, and both check exactly those files before they
# change anything.
nsis=$root/packaging/windows
lists=$build/nsis
mkdir -p "$lists"
(
    cd "$stage"
    find . -type d ! -name . | sed 's:^\./::' | sort >"$lists/dirs"
    find . -type f | sed 's:^\./::' | sort >"$lists/files"
)
{
    while read -r f; do
        d=$(dirname "$f")
        if [ "$d" = . ]; then out='${NEW}'; else out="\${NEW}\\${d//\//\\}"; fi
        printf 'SetOutPath "%s"\nFile "%s"\n' "$out" "$stage/$f"
    done <"$lists/files"
} >"$lists/install.nsh"
{
    echo '!macro PELVANTA_FILES DO'
    while read -r f; do printf '    !insertmacro ${DO} "%s"\n' "${f//\//\\}"; done <"$lists/files"
    echo '!macroend'
    echo '; The folders, the deepest first.'
    echo '!macro PELVANTA_FOLDERS DO'
    sort -r "$lists/dirs" | while read -r d; do printf '    !insertmacro ${DO} "%s"\n' "${d//\//\\}"; done
    echo '!macroend'
} >"$lists/tree.nsh"
cp "$build/windows/product.nsh" "$lists/"
size_kb=$(du -sk --apparent-size "$stage" | cut -f1)

mkdir -p "$root/dist"
setup=$root/dist/pelvanta-$version-setup.exe
makensis -V2 -NOCD -INPUTCHARSET UTF8 -DLISTS="$lists" -DICON="$build/icons/pelvanta.ico" \
    -DSIZE_KB="$size_kb" -DOUTFILE="$setup" "$nsis/pelvanta.nsi" >"$build/nsis.log" 2>&1 || {
    tail -n 30 "$build/nsis.log" >&2
    die "makensis failed (log: $build/nsis.log)"
}
log "dist/$(basename "$setup")"
