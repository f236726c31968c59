# bash completion for fillin: its switches, exported variable names after
# -v, file names after -f.
_fillin()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    case $prev in
    -[vV] | /[vV])
        mapfile -t COMPREPLY < <(compgen -e -- "$cur")
        return 0 ;;
    -[fF] | /[fF])
        compopt -o filenames 2>/dev/null
        # One name a line: names may hold blanks.
        mapfile -t COMPREPLY < <(compgen -f -- "$cur")
        return 0 ;;
    -[pPlLtT] | /[pPlLtT]) return 0 ;;
    esac
    local words="-v -f -p -l -t -b -c -e -m -n -o -u -h"
    # --help and --version count only as the first word.
    [ "$COMP_CWORD" -eq 1 ] && words="$words --help --version"
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
}
complete -F _fillin fillin
