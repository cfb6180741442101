# fish completion for trevalin

set -l formats utf8 utf-8 ansi utf8-image ansi-image
set -l code_pages 874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 KOI8-R KOI8-U
set -l not_check 'not __fish_seen_subcommand_from check'

# Folders and the files with the given suffix only.
function __trevalin_complete_suffix -a suffix
    __fish_complete_path (commandline -ct) | string match -r -- "^.*(?:/|\\$suffix)\t"
end

complete -c trevalin -n "__fish_use_subcommand" -a check -d 'check a cue sheet'
complete -c trevalin -n '__fish_seen_subcommand_from check' -x -a '(__trevalin_complete_suffix .cue)'
complete -c trevalin -n '__fish_seen_subcommand_from check' -l codepage -x -a "$code_pages" -d 'the code page of a sheet that is not UTF-8'

complete -c trevalin -n $not_check -l tracks -x -a '(__trevalin_complete_suffix .json)' -d 'take the selection from a JSON track list'
complete -c trevalin -n $not_check -s o -l output -r -F -d 'answer the save dialog with a path'
complete -c trevalin -n $not_check -s f -l format -x -a "$formats" -d 'the form of the sheet'
complete -c trevalin -n $not_check -l overwrite -d 'replace an existing file'
complete -c trevalin -n $not_check -l codepage -x -a "$code_pages" -d 'the ANSI code page of the ansi forms'
complete -c trevalin -n $not_check -l dialog -x -a 'gtk prompt none' -d 'how the save dialog is shown'
complete -c trevalin -n $not_check -s r -l recursive -d 'search folders to any depth'
complete -c trevalin -n $not_check -l sort -x -a 'given name tags' -d 'the order of the selection'
complete -c trevalin -n $not_check -l per-disc -d 'write one sheet per disc'
complete -c trevalin -n $not_check -l keep-going -d 'leave out files that cannot be read'
complete -c trevalin -n $not_check -l map -x -d 'hand TAG to the component as FIELD (TAG=FIELD)'
complete -c trevalin -n $not_check -l strict -d 'refuse the run when there is any warning'
complete -c trevalin -n $not_check -l check -d 'check the sheet after writing it'
complete -c trevalin -n $not_check -l component -x -a '(__trevalin_complete_suffix .so)' -d 'the component library to load'
complete -c trevalin -n $not_check -s q -l quiet -d 'no progress and no closing line'
complete -c trevalin -s h -l help -d 'print the options and exit'
complete -c trevalin -l version -d "print the command's and the component's versions"
