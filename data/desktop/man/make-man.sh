#!/bin/sh
# Builds a man page from its Markdown source with go-md2man, filling in the version, the data
# folder and, in place of the line "@COMMANDS@", kestrel-cli's commands as the program itself
# describes them (so the page never lists a command the program lacks, nor misses one).
# Usage: make-man.sh KESTREL_CLI SOURCE.md OUTPUT.1 VERSION SHORT_VERSION DATADIR
set -eu
cli=$1 source=$2 output=$3 version=$4 short_version=$5 datadir=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

# One definition per command: its usage line, then its summary and further lines.
list_commands()
{
    "$cli" help | sed -n 's/^  \([a-z][a-z-]*\)\( .*\)\{0,1\}$/\1/p' | while read -r name; do
        "$cli" "$name" --help >"$work/help"
        # Brackets escaped: "[--option] (choice)" would otherwise read as a Markdown link.
        usage=$(sed -n 's/^使い方: [^ ]* //p' "$work/help" | sed 's/\([][]\)/\\\1/g')
        summary=$(sed -n 1p "$work/help")
        details=$(sed -n '/^使い方: /,$p' "$work/help" | sed '1d; s/^ *//' | tr '\n' ' ')
        printf '**%s**\n: %s %s\n\n' "$usage" "$summary" "$details"
    done
}

: >"$work/commands.md"
if grep -q '^@COMMANDS@$' "$source"; then list_commands >"$work/commands.md"; fi
sed -e "s|@VERSION@|$version|g" -e "s|@SHORT_VERSION@|$short_version|g" -e "s|@DATADIR@|$datadir|g" \
    -e "/^@COMMANDS@\$/{r $work/commands.md" -e 'd;}' "$source" >"$work/page.md"
# Japanese runs have no spaces to break at: let troff break after their punctuation and before an
# opening parenthesis, and set the lines ragged, so that man never meets a line it cannot break or
# stretch, in whatever locale it renders the page.
go-md2man -in "$work/page.md" | sed -e 's/\([、。・)）]\)/\1\\:/g' -e 's/\([^\\]\)\([(（]\)/\1\\:\2/g' -e '/^\.TH /a .ad l' >"$output"
