#!/usr/bin/env bash
# Builds pickit and fillin for Windows i686 and x86_64 (presets win32 and
# win64) and packs both, with a short usage text and the license, into one
# zip:
#   bash packaging/windows-zip.sh   ->  $BUILD_PREFIX/pickit-fillin-9.0-windows.zip
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_PREFIX=${BUILD_PREFIX:-$ROOT/build}
VERSION=$(sed -n 's/^project([^ ]* VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
NAME=pickit-fillin-$VERSION-windows
ZIP=$BUILD_PREFIX/$NAME.zip
STAGE=$(mktemp -d)
trap 'rm -rf "$STAGE"' EXIT

cd "$ROOT"
for pair in win32:i686 win64:x86_64; do
    preset=${pair%%:*}
    arch=${pair#*:}
    tree=$BUILD_PREFIX/$preset
    cmake --preset "$preset" -B "$tree" >/dev/null
    cmake --build "$tree" -j2 --target pickit fillin
    cmake --install "$tree" --prefix "$STAGE/$NAME/$arch" --strip >/dev/null
    # The programs stand in the architecture's folder itself.
    mv "$STAGE/$NAME/$arch"/bin/* "$STAGE/$NAME/$arch/"
    rmdir "$STAGE/$NAME/$arch/bin"
done
# Windows line ends for Notepad.
# ("#:" lines mark the examples for tests/docexamples.sh.)
sed -e "/^#:/d" -e "s/\$/\r/" packaging/windows-readme.txt >"$STAGE/$NAME/README.txt"
sed 's/$/\r/' LICENSE >"$STAGE/$NAME/LICENSE.txt"

rm -f "$ZIP"
(cd "$STAGE" && zip -q -r -X "$ZIP" "$NAME")
unzip -l "$ZIP"
