#!/usr/bin/env bash
# pickit's usage text and command-line errors, byte for byte.
. "$(dirname "$0")/lib.sh"

usage_first="Pickit * Version 9 * a keystroke for your scripts"
for args in "-h" "-H" "/?" "-d X -h"; do
    out=$($PICKIT $args </dev/null | od -An -c | tr -s ' \n' ' ')
    rc=$($PICKIT $args </dev/null >/dev/null; echo $?)
    check "pickit $args exit code" 0 "$rc"
    full=$($PICKIT $args </dev/null)
    check "pickit $args first line" "$usage_first$EOL" "$(printf '%s\n' "$full" | head -1)"
    check "pickit $args line count" 21 "$(printf '%s\n' "$full" | wc -l)"
    case $out in *'\r \n'*) crlf=yes ;; *) crlf=no ;; esac
    check "pickit $args ends lines with CR LF on Windows only" "$IS_WINDOWS" \
        "$([ $crlf = yes ] && echo true || echo false)"
done

while IFS='|' read -r args message; do
    out=$(messages $PICKIT $args)
    rc=$?
    check "pickit $args exit code" 0 "$rc"
    check "pickit $args message" "$message$EOL"$'\n'"Use -h for help$EOL" "$out"
done <<'CASES'
-t X,5|Timeout keystroke not in list of valid keys
-d Q|Default keystroke not in list of valid keys
-t Y|Invalid timeout or no timeout keystroke specified
-s -d Y|Default keystroke not in list of valid keys
CASES

if ! $IS_WINDOWS; then
    $PICKIT -h >/dev/full
    check "pickit -h to a full disk exits 101" 101 "$?"
fi
finish
