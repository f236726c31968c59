#!/usr/bin/env bash
# Installs, from Debian's packages, what building and testing need and this
# machine lacks.
set -u
need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have g++ || need+=(g++)
have tmux || need+=(tmux)
# A second terminal between tmux and the programs (tests/e2e/keyforms.sh).
have screen || need+=(screen)
# xterm under a virtual X server: its own widths (tests/e2e/widths.sh).
have xterm || need+=(xterm)
have Xvfb || need+=(xvfb)
# mlterm, which draws some emoji sequences and spacing marks otherwise.
have mlterm || need+=(mlterm)
have i686-w64-mingw32-g++ || need+=(g++-mingw-w64-i686-win32)
have x86_64-w64-mingw32-g++ || need+=(g++-mingw-w64-x86-64-win32)
[ -x /usr/lib/wine/wine64 ] || need+=(wine wine64)
# The shells that source fillin's NAME.sh and NAME.fish (tests/e2e/shell.sh).
have bash || need+=(bash)
have dash || need+=(dash)
have zsh || need+=(zsh)
have fish || need+=(fish)
# Wine's 32-bit loader, for the i686 build, is an i386 package; the update
# below then fetches that architecture's package lists.
if [ ! -x /usr/lib/wine/wine ]; then
    need+=(wine32:i386)
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
fi
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
[ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
# Grapheme clusters, widths and case mapping on POSIX (linked statically).
[ -f /usr/include/utf8proc.h ] || need+=(libutf8proc-dev)
# The locales that give Wine the code pages of other languages
# (tests/e2e/codepages.sh); made below.
[ -d /usr/share/i18n/locales ] || need+=(locales)
# The fuzz targets: clang and its libFuzzer runtime.
have clang++ || need+=(clang)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
# The release checks: the Debian package (cpack needs dpkg-shlibdeps and
# file), lintian on it, mandoc on the manual pages, shellcheck on the scripts.
have dpkg-shlibdeps || need+=(dpkg-dev)
have file || need+=(file)
have lintian || need+=(lintian)
have mandoc || need+=(mandoc)
have shellcheck || need+=(shellcheck)
if [ ${#need[@]} -gt 0 ]; then
    echo "installing: ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq && apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null || exit 1
fi
# Each locale is made once; one already there costs nothing.
for locale in en_US ru_RU ja_JP; do
    locale -a 2>/dev/null | grep -qx "$locale.utf8" || localedef -i "$locale" -f UTF-8 "$locale.UTF-8" 2>/dev/null
done
true
