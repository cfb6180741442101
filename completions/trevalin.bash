# bash completion for trevalin                                 -*- shell-script -*-

_trevalin() {
    local cur prev words cword
    _init_completion || return

    local formats='utf8 utf-8 ansi utf8-image ansi-image'
    local code_pages='874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 KOI8-R KOI8-U'

    local values=
    case $prev in
        -f | --format) values=$formats ;;
        --codepage) values=$code_pages ;;
        --sort) values='given name tags' ;;
        --dialog) values='gtk prompt none' ;;
    esac
    if [[ -n $values ]]; then
        COMPREPLY=($(compgen -W "$values" -- "$cur"))
        return
    fi

    case $prev in
        --tracks)
            _filedir json
            return
            ;;
        -o | --output)
            _filedir
            return
            ;;
        --component)
            _filedir so
            return
            ;;
        --map | -h | --help | --version)
            return
            ;;
    esac

    # trevalin check SHEET.cue [--codepage CP]
    if [[ $cword -gt 1 && ${words[1]} == check ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--codepage' -- "$cur"))
        else
            _filedir cue
        fi
        return
    fi

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--tracks -o --output -f --format --overwrite
            --codepage --dialog -r --recursive --sort --per-disc --keep-going
            --map --strict --check --component -q --quiet -h --help --version' -- "$cur"))
        return
    fi

    # Audio files and folders; "check" as the first word.
    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W 'check' -- "$cur"))
    fi
    local files=("${COMPREPLY[@]}")
    _filedir
    COMPREPLY=("${files[@]}" "${COMPREPLY[@]}")
} &&
    complete -F _trevalin trevalin
