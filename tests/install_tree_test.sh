#!/usr/bin/env bash
# Installs the build into a fresh prefix with `cmake --install` and checks what lands where:
# the executable with its Assets folder in lib/games/quorvatide, the link in bin, the desktop
# entry, the icons of every size in the hicolor theme, the AppStream file, the manual page and
# the copyright file and changelog, the compressed ones as Debian wants them; every one of them
# of the project's version. Then the same rules into a system prefix, where the command's link
# goes into games.
#
#   install_tree_test.sh <build folder> <prefix> <version>
set -u
build=$1
prefix=$2
version=$3
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

lib=$prefix/lib/games/quorvatide
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
metainfo=$prefix/share/metainfo/org.quorvatide.Quorvatide.metainfo.xml
[ -f "$metainfo" ] || fail "no AppStream file"
for n in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${n}x$n/apps/quorvatide.png
    [ -f "$icon" ] || fail "no $n-pixel icon"
    size=$(identify -format '%wx%h' "$icon") || fail "$icon is not a picture"
    [ "$size" = "${n}x$n" ] || fail "the $n-pixel icon is $size"
done

# The manual page and the changelog: gzip at its best, without a name or a time in the header
# (flags and time, bytes 4 to 8, all zero), so that the same text gives the same bytes.
man=$prefix/share/man/man6/quorvatide.6.gz
changelog=$prefix/share/doc/quorvatide/changelog.gz
for gz in "$man" "$changelog"; do
    [ -f "$gz" ] || fail "no $gz"
    gzip -t "$gz" || fail "$gz is not whole"
    [ "$(od -An -tx1 -j3 -N5 "$gz" | tr -d ' ')" = "0000000000" ] ||
        fail "$gz keeps a file name or a time (not made with gzip -n)"
    [ "$(od -An -tx1 -j8 -N1 "$gz" | tr -d ' ')" = "02" ] || fail "$gz is not compressed at level 9"
done
head -n 1 "$prefix/share/doc/quorvatide/copyright" |
    grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
    fail "the copyright file is not in Debian's machine-readable format"

# One version everywhere: the program, the changelog's newest entry, the newest AppStream
# release and the manual page's title line.
[ "$("$prefix/bin/quorvatide" --version)" = "quorvatide $version" ] ||
    fail "the installed program is not version $version: $("$prefix/bin/quorvatide" --version)"
zcat "$changelog" | head -n 1 | grep -qx "quorvatide ($version) unstable; urgency=medium" ||
    fail "the changelog's newest entry is not $version: $(zcat "$changelog" | head -n 1)"
grep -m 1 '<release ' "$metainfo" | grep -q "version=\"$version\"" ||
    fail "the newest AppStream release is not $version: $(grep -m 1 '<release ' "$metainfo")"
zcat "$man" | grep -q "^\.TH QUORVATIDE 6 .*\"Quorvatide $version\"" || fail "the manual page is not of $version"
echo "installed into $prefix: $(find "$prefix" -type f | wc -l) files, all of version $version"

# Under /usr/local (as under /usr) the command is a link in games, as Debian wants games.
system=$prefix-system
rm -rf "$system"
DESTDIR=$system cmake --install "$build" --prefix /usr/local >/dev/null || fail "cmake --install into /usr/local failed"
[ -L "$system/usr/local/games/quorvatide" ] || fail "no link usr/local/games/quorvatide"
[ ! -e "$system/usr/local/bin/quorvatide" ] || fail "the command went into usr/local/bin too"
[ "$(readlink -f "$system/usr/local/games/quorvatide")" = "$(readlink -f "$system/usr/local/lib/games/quorvatide/quorvatide")" ] ||
    fail "usr/local/games/quorvatide does not lead to the executable"
rm -rf "$system"
echo "installed into /usr/local: the command is usr/local/games/quorvatide"
