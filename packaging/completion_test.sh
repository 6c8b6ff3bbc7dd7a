#!/usr/bin/env bash
# The bash completion against the program's own --help: it offers an option exactly when the
# options already given meet the option's needs and none of its exclusions, and folders,
# files or '-' where an option takes them.
# Usage: completion_test.sh PROGRAM COMPLETION
set -euo pipefail
program=$1
source "$2"
failures=0

# The offers for a command line whose last word is being completed, one a line, sorted.
offers() {
  COMP_WORDS=(TARVEXshellv01 "$@")
  COMP_CWORD=$#
  _TARVEXshellv01
  [[ ${#COMPREPLY[@]} -eq 0 ]] || printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect() {  # WHAT GOT EXPECTED
  [[ $2 == "$3" ]] && return
  printf 'FAIL: %s\n  got:      %s\n  expected: %s\n' "$1" "${2//$'\n'/ }" "${3//$'\n'/ }"
  failures=$((failures + 1))
}

# Each option of --help as NAME|NEEDS|EXCLUDES.
rules=$("$program" --help | awk '/^  -/ {
  name = $1; sub(/^-h,/, "", name); needs = ""; excludes = ""; list = ""
  for (i = 2; i <= NF; i++) {
    if ($i == "Needs:" || $i == "Excludes:") { list = $i; continue }
    if ($i !~ /^--/) { list = ""; continue }
    if (list == "Needs:") needs = needs " " $i; else if (list == "Excludes:") excludes = excludes " " $i
  }
  print name "|" needs "|" excludes }')
[[ $(wc -l <<<"$rules") -ge 10 ]] || { echo "FAIL: --help lists too few options"; exit 1; }

for given in "" "--check data" "--check data --fix" "--script s.txt" "--date 2026-12-07 --shell-dir d"; do
  read -ra words <<<"$given"
  expected=""
  while IFS='|' read -r name needs excludes; do
    ok=true
    for need in $needs; do [[ " $given " == *" $need "* ]] || ok=false; done
    for exclude in $excludes; do [[ " $given " == *" $exclude "* ]] && ok=false; done
    $ok && expected+="$name"$'\n'
  done <<<"$rules"
  expect "options after \"$given\"" "$(offers "${words[@]}" --)" "$(sort <<<"${expected%$'\n'}")"
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/sub"
touch "$scratch/session.txt"
cd "$scratch"
expect "--shell-dir takes folders" "$(offers --shell-dir "")" "sub"
expect "--check takes folders" "$(offers --check s)" "sub"
expect "--script takes files" "$(offers --script "")" $'session.txt\nsub'
expect "--json takes files or -" "$(offers --check sub --json "")" $'-\nsession.txt\nsub'
expect "--date offers today" "$(offers --date "")" "$(date +%F)"

[[ $failures -eq 0 ]] && echo "completion: all cases pass"
exit $((failures > 0))
