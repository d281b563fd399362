#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is
# missing: debian/control's Build-Depends and debian/test-packages. Used by
# run.sh and test.sh; safe to run again.
set -euo pipefail
source "$(dirname "$0")/packages.sh"
mapfile -t packages < <(build_packages; test_packages)
need_packages bootstrap "${packages[@]}"
