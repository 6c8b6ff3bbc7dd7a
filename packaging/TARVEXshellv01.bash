# Completion of TARVEXshellv01's options, and of the files and folders they take.
_TARVEXshellv01() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
  COMPREPLY=()
  case $prev in
    --script)
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      return ;;
    --shell-dir | --check | --undo)
      mapfile -t COMPREPLY < <(compgen -d -- "$cur")
      return ;;
    --json | --tsv)
      mapfile -t COMPREPLY < <(compgen -f -- "$cur")
      [[ - == "$cur"* ]] && COMPREPLY+=(-)
      return ;;
    --date)
      mapfile -t COMPREPLY < <(compgen -W "$(date +%F)" -- "$cur")
      return ;;
  esac
  [[ $cur == -* ]] || return
  # A batch check, an undo and a session take different options; all take a date.
  local word check=false undo=false session=false
  for word in "${COMP_WORDS[@]:0:COMP_CWORD}"; do
    case $word in
      --check) check=true ;;
      --undo) undo=true ;;
      --script | --shell-dir) session=true ;;
    esac
  done
  local options="--help --version --date"
  $check || $undo || options+=" --script --shell-dir"
  $session || $undo || options+=" --check"
  $session || $check || options+=" --undo"
  $session || options+=" --diff"
  $check && options+=" --matrix --matrix-headings --flow-files --fix --json --tsv"
  mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
}
complete -o filenames -F _TARVEXshellv01 TARVEXshellv01
