#!/usr/bin/env bash
# Completes lorimand-cli command lines through its bash completion and compares
# the offered words with what each case expects.
# Usage: bash_completion.sh <completion script>
set -uo pipefail

source "$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir tables
touch ROT13.sbt upper.SBT notes.txt tables/Digits.sbt

failures=0
# check "<command line, the last word being completed>" "<expected words, sorted>"
check() {
    read -r -a COMP_WORDS <<<"$1"
    [[ $1 == *' ' ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$1
    COMP_POINT=${#1}
    _lorimand_cli
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd' ')
    if [ "$got" != "$2" ]; then
        echo "FAIL: '$1' offered '$got', expected '$2'"
        failures=$((failures + 1))
    fi
}

check "lorimand-cli " "check-table decode encode find-key new-table"
check "lorimand-cli e" "encode"
check "lorimand-cli --" "--help --version"
check "lorimand-cli encode --" "--key --key-file --output --table"
check "lorimand-cli decode --key-" "--key-file"
check "lorimand-cli encode --table " "ROT13.sbt tables upper.SBT"
check "lorimand-cli encode --table tables/" "tables/Digits.sbt"
check "lorimand-cli encode --key " ""
check "lorimand-cli encode --key-file n" "notes.txt"
check "lorimand-cli encode --table ROT13.sbt -o " "ROT13.sbt notes.txt tables upper.SBT"
check "lorimand-cli encode --table ROT13.sbt no" "notes.txt"
check "lorimand-cli f" "find-key"
check "lorimand-cli find-key --" "--tables --top"
check "lorimand-cli find-key --top " ""
check "lorimand-cli find-key --tables " "ROT13.sbt notes.txt tables upper.SBT"
check "lorimand-cli find-key --tables t" "tables"
check "lorimand-cli find-key --top 3 n" "notes.txt"
check "lorimand-cli n" "new-table"
check "lorimand-cli new-table " "keyword reverse shift shuffle-all shuffle-letters"
check "lorimand-cli new-table sh" "shift shuffle-all shuffle-letters"
check "lorimand-cli new-table shift --" "--keyword --output --shift"
check "lorimand-cli new-table shift --shift " ""
check "lorimand-cli new-table keyword --keyword " ""
check "lorimand-cli new-table reverse -o " "ROT13.sbt notes.txt tables upper.SBT"
check "lorimand-cli check-table " "ROT13.sbt tables upper.SBT"
check "lorimand-cli check-table --" ""
exit $((failures > 0))
