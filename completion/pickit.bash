# bash completion for pickit: its switches. The keys and the prompt after
# -k, -d, -t and -p are the user's own, so nothing is offered for them.
_pickit()
{
    local cur=${COMP_WORDS[COMP_CWORD]}
    local prev=${COMP_WORDS[COMP_CWORD-1]}
    COMPREPLY=()
    case $prev in
    -[kKdDtTpP] | /[kKdDtTpP]) return 0 ;;
    esac
    local words="-k -d -t -p -c -l -n -q -s -h"
    # --help and --version count only as the first word.
    [ "$COMP_CWORD" -eq 1 ] && words="$words --help --version"
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
}
complete -F _pickit pickit
