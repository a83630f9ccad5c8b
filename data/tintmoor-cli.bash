# bash completion for tintmoor-cli. The commands, their options and the preset
# names are asked of the program itself, so they are always its own.

# Every name of every preset: what presets prints before its description,
# another spelling after a comma.
_tintmoor_cli_presets() {
  "$1" presets 2>/dev/null | sed 's/  .*//; s/, /\n/g'
}

_tintmoor_cli() {
  local IFS=$'\n'
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  local cli=${COMP_WORDS[0]}
  [[ $cli == "~/"* ]] && cli=$HOME/${cli#"~/"}
  COMPREPLY=()
  if [ "$COMP_CWORD" -eq 1 ]; then
    COMPREPLY=($(compgen -W "$("$cli" --help 2>/dev/null |
      sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p')"$'\n--help\n--version' -- "$cur"))
    return
  fi
  local command=${COMP_WORDS[1]}
  case $prev in
    --data-dir | --wine-prefix)
      COMPREPLY=($(compgen -d -- "$cur"))
      return
      ;;
    --out | --scheme)
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --preset)
      COMPREPLY=($(compgen -W "$(_tintmoor_cli_presets "$cli")" -- "$cur"))
      return
      ;;
    --vision)
      COMPREPLY=($(compgen -W $'protan\ndeutan\ntritan' -- "$cur"))
      return
      ;;
    --format)
      COMPREPLY=($(compgen -W $'text\ncsv\njson' -- "$cur"))
      return
      ;;
    --column)
      COMPREPLY=($(compgen -W $'unit\nminimap\ndead\nall' -- "$cur"))
      return
      ;;
    --threshold | --severity) return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$("$cli" "$command" --help 2>/dev/null |
      grep -oE -- '--[a-z][a-z-]*' | sort -u)" -- "$cur"))
    return
  fi
  case $command:$COMP_CWORD in
    apply:2)
      COMPREPLY=($(compgen -W "$(_tintmoor_cli_presets "$cli")" -- "$cur"))
      ;;
    set:2) COMPREPLY=($(compgen -W "Gaia"$'\n'"$(printf 'player%s\n' {1..12})" -- "$cur")) ;;
    set:3) COMPREPLY=($(compgen -W $'unit\nminimap\ndead' -- "$cur")) ;;
    dump:* | format:* | export:* | import:*) COMPREPLY=($(compgen -f -- "$cur")) ;;
  esac
}
complete -F _tintmoor_cli tintmoor-cli
