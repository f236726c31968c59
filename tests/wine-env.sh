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

wine_prepare() {
    [ -d "$WINEPREFIX" ] || timeout 300 "$WINE64" wineboot --init >/dev/null 2>&1
    wineserver -p >/dev/null 2>&1
    timeout 60 "$WINE64" cmd /c exit 0 >/dev/null 2>&1
    true
}

wine_cleanup() {
    wineserver -k >/dev/null 2>&1
    true
}
