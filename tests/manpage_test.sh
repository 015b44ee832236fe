#!/usr/bin/env bash
# The manual page as a reader gets it: `man` renders it at 80 columns without a warning, it
# names every option that `quorvatide --help` names and every QUORVATIDE_ variable the README
# names, and its footer carries the version that `quorvatide --version` prints.
#
#   manpage_test.sh <quorvatide> <quorvatide.6.gz> <README.md>
set -u
game=$1
page=$2
readme=$3
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
command -v man >/dev/null || fail "man is not installed"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >"$work/page.txt" 2>"$work/warnings.txt" ||
    fail "man could not render $page: $(cat "$work/warnings.txt")"
[ ! -s "$work/warnings.txt" ] || fail "man warns about $page: $(cat "$work/warnings.txt")"
lines=$(wc -l <"$work/page.txt")
[ "$lines" -gt 50 ] || fail "the rendered page has only $lines lines"
long=$(awk 'length > 80' "$work/page.txt")
[ -z "$long" ] || fail "lines wider than 80 columns: $long"

"$game" --help >"$work/help.txt" || fail "quorvatide --help failed"
options=$(grep -oE '^ +--[a-z-]+' "$work/help.txt" | tr -d ' ')
[ -n "$options" ] || fail "found no options in quorvatide --help"
variables=$(grep -oE 'QUORVATIDE_[A-Z_]+' "$readme" | sort -u)
for word in $options $variables; do
    grep -qF -- "$word" "$work/page.txt" || fail "the manual page does not name $word"
done

version=$("$game" --version | awk '{print $2}')
tail -n 1 "$work/page.txt" | grep -q "Quorvatide $version " ||
    fail "the page's footer is not of version $version: $(tail -n 1 "$work/page.txt")"
echo "$page: $lines lines at 80 columns, no warning; names $(echo $options $variables)"
