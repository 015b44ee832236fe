#!/usr/bin/env bash
# Debian's package checker on the package: no error and no warning, and no note at all about
# hardening (-D_FORTIFY_SOURCE=2, -Wl,-z,relro,-z,now). Other informational and pedantic notes
# are shown but pass.
#
#   lintian_test.sh <package folder>
set -u
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
command -v lintian >/dev/null || fail "lintian is not installed"
deb=$(ls "$1"/quorvatide_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package in $1"
report=$(lintian --display-info --fail-on error,warning "$deb" 2>&1)
status=$?
printf '%s\n' "$report"
bad=$(printf '%s\n' "$report" | grep -E '^[EW]: ')
[ -z "$bad" ] || fail "lintian finds errors or warnings in $(basename "$deb")"
# Built with Debian's hardening flags: not even an informational note about them.
hardening=$(printf '%s\n' "$report" | grep -E '^[EWIPX]: .*hardening-')
[ -z "$hardening" ] || fail "lintian finds the package's hardening short: $hardening"
[ $status -eq 0 ] || fail "lintian failed with status $status"
echo "lintian: no error and no warning in $(basename "$deb")"
