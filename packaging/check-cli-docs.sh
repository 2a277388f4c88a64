#!/usr/bin/env bash
# Holds the man page and the bash completion of orven-cli to the program itself: every command and
# every long option its help lists must be named by the page and offered by the completion, and
# the completion must offer ports, bands, choices and files where they belong.
#   packaging/check-cli-docs.sh ORVEN_CLI MAN_PAGE(.1 or .1.gz) COMPLETION_FILE
# Exit 0 when all agree, 1 naming every gap, 77 (skipped) without bash-completion.
set -euo pipefail
# Output is captured before it is searched: with pipefail, "grep -q" ending a pipe early would
# fail the writer and so the check, at random.

program=$(realpath "$1")
page=$2
completion=$(realpath "$3")
bash_completion=/usr/share/bash-completion/bash_completion
if [[ ! -r $bash_completion ]]; then
    echo "check-cli-docs: skipped, bash-completion is not installed"
    exit 77
fi

gaps=0
gap() {
    echo "check-cli-docs: $*" >&2
    gaps=$((gaps + 1))
}

# The commands of "$@" as its help lists them.
help_commands() {
    "$@" --help | awk '/^[^ ].*:$/ { section = $0; next }
                       section == "Subcommands:" && /^  [^ ]/ { print $1 }'
}
# The long options of "$@" as its help lists them.
help_long_options() {
    "$@" --help | sed -nE 's/^ +(-[A-Za-z],)?(--[a-z0-9-]+).*/\2/p'
}

# Every command path: "new", ..., "archive list" (a command with commands of its own stands for
# them on the page).
commands=()
for command in $(help_commands "$program"); do
    commands+=("$command")
    for sub in $(help_commands "$program" "$command"); do
        commands+=("$command $sub")
    done
done
parents=" $(for c in "${commands[@]}"; do [[ $c == *" "* ]] && echo "${c%% *}"; done | sort -u | xargs) "

# The page as text: font changes dropped, "\-" as "-".
if [[ $page == *.gz ]]; then text=$(zcat "$page"); else text=$(cat "$page"); fi
text=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' <<<"$text")
# The command each .TP tag of the COMMANDS section starts with (its leading lower-case words).
page_commands=$(awk '
    /^\.SH/ { inside = ($2 == "COMMANDS"); next }
    inside && tag {
        tag = 0; line = $0
        sub(/^\.[A-Z]+ */, "", line); gsub(/"/, "", line)
        n = split(line, word, " "); name = ""
        for (i = 1; i <= n && word[i] ~ /^[a-z][a-z-]*$/; i++) name = name (i > 1 ? " " : "") word[i]
        print name; next
    }
    /^\.TP/ { tag = inside }' <<<"$text")

for command in "${commands[@]}"; do
    [[ $parents == *" $command "* ]] || grep -qxF "$command" <<<"$page_commands" ||
        gap "the man page has no entry for '$command'"
    # shellcheck disable=SC2086
    for option in $(help_long_options "$program" $command); do
        grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" <<<"$text" ||
            gap "the man page does not name $option of '$command'"
    done
done
for option in $(help_long_options "$program"); do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" <<<"$text" || gap "the man page does not name $option"
done
while read -r command; do
    [[ -z $command ]] && continue
    grep -qxF "$command" <<<"$(printf '%s\n' "${commands[@]}")" ||
        echo "check-cli-docs: note: the man page describes '$command', which this orven-cli does not list yet"
done <<<"$page_commands"

# What the completion offers for a command line whose last word is being completed, run in
# the folder $workdir.
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
touch "$workdir/probe.dat"
complete_line() {
    (cd "$workdir" && bash -c '
        source "$1"; source "$2"; shift 2
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        _orven_cli "$1" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}"' _ "$bash_completion" "$completion" "$program" "$@")
}
expect_offer() { # expect_offer WORD LINE...: completing LINE offers WORD
    local word=$1
    shift
    local offered
    offered=$(complete_line "$@")
    grep -qxF -- "$word" <<<"$offered" || gap "completing 'orven-cli $*' does not offer '$word'"
}

offered=$(complete_line "")
for command in "${commands[@]}"; do
    read -ra words <<<"$command"
    if ((${#words[@]} == 1)); then
        grep -qxF "$command" <<<"$offered" || gap "the completion does not offer the command '$command'"
    else
        expect_offer "${words[1]}" "${words[0]}" ""
    fi
    options=$(complete_line "${words[@]}" -)
    for option in $(help_long_options "$program" "${words[@]}"); do
        grep -qxF -- "$option" <<<"$options" || gap "the completion does not offer $option of '$command'"
    done
done

expect_offer COM7 -p ""
expect_offer USB --port ""
expect_offer demo read x.dat -p d
expect_offer COM32 verify x.dat --port COM3
expect_offer 115200 -b ""
expect_offer WX channels ""
expect_offer Private channels P
expect_offer eur-int-usa new x.dat --model ""
expect_offer belgium new x.dat --model eur-int --country ""
expect_offer off set x.dat --mmsi-by-user ""
expect_offer probe.dat show ""
expect_offer probe.dat -p demo read ""
expect_offer probe.dat channels Private ""
expect_offer no-echo,split= simulate --faults no-echo,sp
expect_offer mmsi,serial write x.dat --remove-identities mmsi,s
expect_offer Europe restore x.bin --confirm-model E
expect_offer COM4,COM12 fleet t.dat r.csv --ports COM4,COM1

if ((gaps > 0)); then
    echo "check-cli-docs: $gaps gap(s) between orven-cli and its man page or completion" >&2
    exit 1
fi
echo "check-cli-docs: the man page and the completion know all ${#commands[@]} commands and their options"
