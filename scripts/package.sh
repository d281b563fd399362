#!/usr/bin/env bash
# Builds the Debian package dist/pelvanta_<version>_<arch>.deb with debhelper
# (debian/), from a copy of the sources so the checkout keeps no build
# leftovers. Installs what the package build needs when it runs as root, and
# says what to run otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/packages.sh
mapfile -t needed < <(build_packages)
need_packages package "${needed[@]}"

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
deb=pelvanta_${version}_${arch}.deb

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
src=$work/pelvanta-${version%-*}
mkdir -p "$src"
# The tracked files and new ones not ignored, or, outside git, the tree
# without its build folders.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
        tar --null --ignore-failed-read -T - -cf - | tar -C "$src" -xf -
else
    tar --exclude='./build*' --exclude=./dist --exclude=./run -cf - . | tar -C "$src" -xf -
fi

# ccache's compiler wrappers, when present, make a rebuild quick.
[ -d /usr/lib/ccache ] && export PATH=/usr/lib/ccache:$PATH
export DEB_BUILD_OPTIONS="noddebs parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
echo "package: building $deb in $src"
(cd "$src" && dpkg-buildpackage -b -us -uc) >"$work/build.log" 2>&1 || {
    tail -n 40 "$work/build.log" >&2
    echo "package: dpkg-buildpackage failed (last lines above)" >&2
    exit 1
}
mkdir -p "$root/dist"
mv "$work/$deb" "$root/dist/$deb"
echo "package: dist/$deb"
