# shellcheck shell=bash
# Bash completion for kestrune-cli: its options (read from its --help), INI files after -i,
# --ini and --ini=, schematics (*.sch in any letter case) and folders elsewhere. bash-completion
# loads it and lends the helpers that split --ini=PATH and quote names with spaces or quotes.
_kestrune_cli() {
  local cur prev words cword split
  _init_completion -s || return

  if [[ $prev == -i || $prev == --ini ]]; then
    _filedir '[iI][nN][iI]'
    return
  fi
  "$split" && return
  local word
  for word in "${words[@]:1:cword-1}"; do
    [[ $word == -- ]] && { _filedir '[sS][cC][hH]'; return; }
  done
  if [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$(_parse_help "$1")" -- "$cur")
    # --ini= takes its path right after the sign.
    [[ ${COMPREPLY[0]-} == *= ]] && compopt -o nospace 2>/dev/null
    return
  fi
  _filedir '[sS][cC][hH]'
}
complete -F _kestrune_cli kestrune-cli
