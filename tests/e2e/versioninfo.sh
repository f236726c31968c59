#!/usr/bin/env bash
# The Windows programs' version information as Windows reads it (Explorer's
# Properties, GetFileVersionInfo): product, description, version and the
# license's copyright line. The POSIX builds carry none.
# targets: windows (version information is a Windows resource)
. "$(dirname "$0")/lib.sh"

version=$(sed -n 's/^project([^ ]* VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
copyright=$(grep -m1 '^Copyright (c) ' "$ROOT/LICENSE")
declare -A description=(
    [pickit]="Asks for one keystroke out of a list and returns its position"
    [fillin]="Edits an environment variable's value and writes it to a batch file")
# field NAME: the value of that line of what versioninfo printed.
field() { sed -n "s/^$1: //p" <<<"$info"; }
for program in pickit fillin; do
    info=$(timeout 60 $RUN "$BIN/tests/versioninfo$EXE" "$BIN/$program/$program$EXE" | tr -d '\r')
    check "$program: file version" "$version.0.0" "$(field FILEVERSION)"
    check "$program: product" "pickit and fillin $version" "$(field ProductName) $(field ProductVersion)"
    check "$program: file version text" "$version" "$(field FileVersion)"
    check "$program: copyright" "$copyright" "$(field LegalCopyright)"
    check "$program: file name" "$program.exe" "$(field OriginalFilename)"
    check "$program: description" "${description[$program]}" "$(field FileDescription)"
done
finish
