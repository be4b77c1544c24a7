# bash completion for kestrova-sync: its options, and full paths of folders for the pairs.

_kestrova_sync() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local i words saved=0 ended=0
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --) ended=1 ;;
        --saved) saved=1 ;;
        esac
    done
    if [[ $ended -eq 0 && $cur == -* ]]; then
        words='--delete --no-delete --trash --no-trash --list-deleted --no-list-deleted --dry-run --max-delete --record'
        if [[ $saved -eq 0 ]]; then
            words+=' --saved --help --version --notify-failure --'
        fi
        mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
        return
    fi
    [[ ${COMP_WORDS[COMP_CWORD - 1]} == --max-delete ]] && return # a count
    [[ $saved -eq 1 ]] && return
    # The folders must be full paths: a relative one is refused, so none is offered.
    case $cur in
    /* | '~'*) ;;
    '')
        COMPREPLY=(/)
        compopt -o nospace 2>/dev/null
        return
        ;;
    *) return ;;
    esac
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
}
complete -F _kestrova_sync kestrova-sync
