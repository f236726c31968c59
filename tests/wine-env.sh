# shellcheck shell=bash
# Wine, quiet and headless, with a prefix of the build's own.
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX="$ROOT/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C.UTF-8
WINE64=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine

# 32-bit Windows programs need Wine's 32-bit loader and a kernel that runs
# 32-bit programs; many machines have neither.
wine32_usable() {
    [ -x "$WINE32" ] && [ -f "$ROOT/build/win32/tests/unit_tests.exe" ] &&
        timeout 60 "$WINE32" cmd /c exit 0 >/dev/null 2>&1
}

# A prefix made while the 32-bit loader was missing has no 32-bit system
# (syswow64 stays empty, and wineboot -u does not fill it): 32-bit programs
# then fail with "could not load kernel32.dll". Where this kernel runs the
# 32-bit loader, such a prefix is made anew. The lock keeps suites that run
# side by side from making or removing the prefix at the same time.
wine_prepare() {
    mkdir -p "$ROOT/build"
    (
        flock 9
        if [ -d "$WINEPREFIX" ] && "$WINE32" --version >/dev/null 2>&1 &&
            [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
            echo "the Wine prefix runs no 32-bit programs: making it anew"
            wineserver -k >/dev/null 2>&1
            rm -rf "$WINEPREFIX"
        fi
        [ -d "$WINEPREFIX" ] || timeout 300 "$WINE64" wineboot --init >/dev/null 2>&1
    ) 9>"$ROOT/build/wineprefix.lock"
    wineserver -p >/dev/null 2>&1
    timeout 60 "$WINE64" cmd /c exit 0 >/dev/null 2>&1
    true
}

wine_cleanup() {
    wineserver -k >/dev/null 2>&1
    true
}
