#!/usr/bin/env bash
# The Debian package of a native build, made by cpack and checked by
# lintian; its errors and warnings fail.
#
#     bash tests/package-check.sh [BUILD TREE, default build/release]
set -u
cd "${1:-$(dirname "$0")/../build/release}" || exit 1
rm -f pickit-fillin_*.deb
cpack -G DEB >/dev/null || exit 1
lintian --fail-on error,warning pickit-fillin_*.deb 2>&1 | grep -v '^running with root privileges'
[ "${PIPESTATUS[0]}" -eq 0 ]
