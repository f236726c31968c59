# fish completion for fillin: its switches with their descriptions, exported
# variable names after -v, file names after -f.
complete -c fillin -f
complete -c fillin -s v -x -a '(set --names --export)' -d 'Environment variable to create/edit'
complete -c fillin -s f -r -F -d 'Output file: NAME.sh, NAME.fish or a batch file'
complete -c fillin -s p -x -d 'Prompt to display'
complete -c fillin -s l -x -d 'Limit the length of the input'
complete -c fillin -s t -x -d 'Return the unedited value after n seconds without a key'
complete -c fillin -s b -d 'Cursor at the beginning of the line'
complete -c fillin -s c -d 'Show the seconds left while -t waits'
complete -c fillin -s e -d 'Set the variable to exactly what was typed (no escape carets)'
complete -c fillin -s m -d 'Mask input with asterisks'
complete -c fillin -s n -d 'Numeric input only (0-9)'
complete -c fillin -s o -d 'Start in overtype mode'
complete -c fillin -s u -d 'Force typed letters to upper case'
complete -c fillin -s h -d 'Show the usage text'
# --help and --version count only as the first word.
complete -c fillin -l help -n 'test (count (commandline -opc)) -eq 1' -d 'Show the usage text'
complete -c fillin -l version -n 'test (count (commandline -opc)) -eq 1' -d 'Show the version'
