# bash completion for harvly-cli
_harvly_cli()
{
    local cur prev words cword
    _init_completion 2>/dev/null || {
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD-1]}
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    }
    local commands="harvest analyse bulk cache download identify"
    if ((cword == 1)); then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    case $prev in
        --dest|--dir) COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --list | --state) COMPREPLY=($(compgen -f -- "$cur")); return ;;
        --way) COMPREPLY=($(compgen -W "1 2" -- "$cur")); return ;;
        --same-name)
            if [[ ${words[1]} == cache ]]; then
                COMPREPLY=($(compgen -W "skip cover rename same-size-and-time same-size" -- "$cur"))
            else
                COMPREPLY=($(compgen -W "Skip Cover Rename" -- "$cur"))
            fi
            return ;;
        --threads|--interval|--delay|--proxy|--match) return ;;
    esac
    local options
    case ${words[1]} in
        harvest) options="--with-htm --static --help" ;;
        analyse) options="--help" ;;
        bulk) options="--web --delay --help" ;;
        cache)
            if ((cword == 2)); then
                COMPREPLY=($(compgen -W "list export --help" -- "$cur"))
                return
            fi
            options="--zh --dir --all-users --match --same-name --help" ;;
        download) options="--dest --way --threads --interval --same-name --proxy --state --retries --list --help" ;;
        identify) options="--help" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -F _harvly_cli harvly-cli
