#!/usr/bin/env bash
# Installs the build into a fresh prefix with `cmake --install` and checks what lands where:
# the executable with its Assets folder in lib/quorvatide, the link in bin, the desktop entry,
# the icons of every size in the hicolor theme, and the AppStream file.
#
#   install_tree_test.sh <build folder> <prefix>
set -u
build=$1
prefix=$2
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

lib=$prefix/lib/quorvatide
[ -x "$lib/quorvatide" ] || fail "no executable $lib/quorvatide"
[ -f "$lib/Assets/settings.ini" ] && [ -f "$lib/Assets/splash.bmp" ] && [ -f "$lib/Assets/icon.bmp" ] ||
    fail "no Assets folder beside the executable"
[ ! -e "$lib/Assets/debug.txt" ] || fail "a debug log of the build was installed"
[ -L "$prefix/bin/quorvatide" ] || fail "$prefix/bin/quorvatide is not a link"
[ "$(readlink -f "$prefix/bin/quorvatide")" = "$(readlink -f "$lib/quorvatide")" ] ||
    fail "bin/quorvatide does not lead to the executable"
# The link is relative, so the tree can be moved (and packaged).
case $(readlink "$prefix/bin/quorvatide") in /*) fail "bin/quorvatide is an absolute link" ;; esac
[ -f "$prefix/share/applications/quorvatide.desktop" ] || fail "no desktop entry"
grep -qx 'Icon=quorvatide' "$prefix/share/applications/quorvatide.desktop" || fail "no icon in the desktop entry"
ls "$prefix"/share/metainfo/*.metainfo.xml >/dev/null 2>&1 || fail "no AppStream file"
for n in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${n}x$n/apps/quorvatide.png
    [ -f "$icon" ] || fail "no $n-pixel icon"
    size=$(identify -format '%wx%h' "$icon") || fail "$icon is not a picture"
    [ "$size" = "${n}x$n" ] || fail "the $n-pixel icon is $size"
done
echo "installed into $prefix: $(find "$prefix" -type f | wc -l) files"
