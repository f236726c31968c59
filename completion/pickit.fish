# fish completion for pickit: its switches with their descriptions.
complete -c pickit -f
complete -c pickit -s k -x -d 'List of valid keys (default YN)'
complete -c pickit -s d -x -d 'Key that Enter chooses'
complete -c pickit -s t -x -d 'Key chosen when no key is pressed in n seconds (key,n)'
complete -c pickit -s p -x -d 'Prompt to display'
complete -c pickit -s c -d 'Show the seconds left while -t waits'
complete -c pickit -s l -d 'Line input mode: require Enter'
complete -c pickit -s n -d 'Do not show the list of keys in the prompt'
complete -c pickit -s q -d 'Do not echo the key pressed'
complete -c pickit -s s -d 'The list of keys is case-sensitive'
complete -c pickit -s h -d 'Show the usage text'
# --help and --version count only as the first word.
complete -c pickit -l help -n 'test (count (commandline -opc)) -eq 1' -d 'Show the usage text'
complete -c pickit -l version -n 'test (count (commandline -opc)) -eq 1' -d 'Show the version'
