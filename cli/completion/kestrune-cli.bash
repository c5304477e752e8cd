# Bash completion for kestrune-cli: its options, INI files after --ini, schematics and folders.
_kestrune_cli() {
  local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD-1]}
  if [[ $previous == -i || $previous == --ini ]]; then
    COMPREPLY=($(compgen -f -X '!*.@(ini|INI)' -- "$current") $(compgen -d -- "$current"))
  elif [[ $current == -* ]]; then
    COMPREPLY=($(compgen -W '-b --backup -e --embedded -i --ini -n --dry-run -q --quiet
      -r --recursive --trace -h --help --version' -- "$current"))
  else
    COMPREPLY=($(compgen -f -X '!*.@(sch|SCH|Sch)' -- "$current") $(compgen -d -- "$current"))
  fi
}
shopt -s extglob
complete -o filenames -F _kestrune_cli kestrune-cli
