# bash completion for kestrel-cli. The commands and each command's options are read from the
# program's own help, so they always match the installed program.

_kestrel_cli()
{
    local cur prev words cword
    _init_completion || return

    if [[ $cword -eq 1 ]]; then
        local commands
        commands=$(QT_QPA_PLATFORM=offscreen "${words[0]}" help 2>/dev/null |
            sed -n 's/^  \([a-z][a-z-]*\).*/\1/p')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    case $prev in
        --out | --pdf | --catalogue | --db | --playlist)
            _filedir
            return
            ;;
        --template)
            # The shipped templates by name and by ID, as the program lists them.
            local names
            names=$(QT_QPA_PLATFORM=offscreen "${words[0]}" templates 2>/dev/null | awk -F '\t' 'NR > 1 { print $3; print $5 }')
            COMPREPLY=($(compgen -W "$names" -- "$cur"))
            return
            ;;
        --folder)
            _filedir -d
            return
            ;;
        --paper | --printer | --sheet | --sheets | --face | --faces | --dpi | --copies | --offset | \
            --level | --version | --mask | --mode | --scale | --album | --text | --columns)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        options=$(QT_QPA_PLATFORM=offscreen "${words[0]}" "${words[1]}" --help 2>/dev/null |
            grep -o -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _kestrel_cli kestrel-cli
