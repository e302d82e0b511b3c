#!/usr/bin/env bash
# The built manual pages list what the programs' --help lists: the same
# commands, options and files, section by section, and man reads them
# without a warning.
# Usage: man-pages-test.sh BUILD_DIR
set -euo pipefail
build=$1
fail() { echo "man pages test: $*" >&2; exit 1; }

# "SECTION word" for each entry of --help: a line indented by two spaces
# under a heading line ("commands:").
help_entries() {
    "$build/bin/$1" --help | awk '
        /^[^ ].*:$/ { section = toupper(substr($0, 1, length($0) - 1)); next }
        /^[^ ]/ || /^$/ { section = "" }
        section != "" && /^  [^ ]/ { print section, $1 }'
}
# The same from the page: the bold word of each entry under a .SH heading.
page_entries() {
    awk '
        /^\.SH / { section = substr($0, 5); next }
        /^\.TP$/ { entry = 1; next }
        entry && /^\\fB/ && index($0, "\\fR") {
            word = substr($0, 4, index($0, "\\fR") - 4); gsub(/\\-/, "-", word); print section, word }
        { entry = 0 }' "$1"
}

for program in ketral ketral-tool; do
    page="$build/share/man/man1/$program.1"
    [ -f "$page" ] && [ -f "$page.gz" ] || fail "no page $page"
    expected=$(help_entries "$program")
    [ -n "$expected" ] || fail "$program --help lists nothing"
    actual=$(page_entries "$page")
    [ "$expected" = "$actual" ] || fail "$page lists other entries than $program --help:
$(diff <(echo "$expected") <(echo "$actual"))"
    if command -v man >/dev/null; then
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page.gz" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man warns about $page: $warnings"
    fi
done
echo "man pages test passed"
