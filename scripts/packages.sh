# Sourced by the scripts: the one place that installs missing Debian
# packages, and the lists read from debian/.
#
#   need_packages WHO PACKAGE...  installs those missing (as root), or says
#                                 what to run and exits (as anyone else)
#   build_packages                the build's packages: debian/control's
#                                 Build-Depends, with the compiler
#   test_packages [GROUP]         the tests' own packages (debian/test-packages),
#                                 or one group of them

packages_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/debian

need_packages() {
    local who=$1 p missing=()
    shift
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "$who: missing ${missing[*]}; run this once, then try again:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi
    echo "$who: installing ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# dpkg-buildpackage needs dpkg-dev and build-essential besides the
# Build-Depends; debhelper-compat is provided by debhelper.
build_packages() {
    printf '%s\n' dpkg-dev build-essential
    sed -n '/^Build-Depends:/,/^[A-Z]/{s/^Build-Depends://;/^[A-Z]/d;p}' "$packages_dir/control" |
        tr ',' '\n' | sed -E 's/\(.*\)//; s/[[:space:]]//g; s/^debhelper-compat$/debhelper/' |
        grep -v '^$'
}

test_packages() {  # [GROUP]
    sed -n "s/#.*//; s/^${1:-[a-z]*}: *//p" "$packages_dir/test-packages" | tr -s ' \t' '\n' |
        grep -v '^$'
}
