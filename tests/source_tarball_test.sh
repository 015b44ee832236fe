#!/usr/bin/env bash
# The source tarball of scripts/release.sh: one folder quorvatide-<version>/ holding what git
# holds (when the sources are a git checkout), nothing the build makes and no .git; the same
# bytes when made twice; and, unpacked into an empty folder, it configures and builds the game
# with its Assets, without git, into a program of that version. (Its whole test suite is the
# same as this one's, so only the game is built.)
#
#   source_tarball_test.sh <source folder> <work folder> <version> [compiler launcher]
set -u
src=$1
work=$2
version=$3
launcher=${4:-}
name=quorvatide-$version
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
rm -rf "$work"
mkdir -p "$work"
bash "$src/scripts/release.sh" --source "$work/one" >/dev/null || fail "release.sh --source failed"
bash "$src/scripts/release.sh" --source "$work/two" >/dev/null || fail "release.sh --source failed"
tarball=$work/one/$name.tar.gz
[ -f "$tarball" ] || fail "no $name.tar.gz"
cmp -s "$tarball" "$work/two/$name.tar.gz" || fail "two tarballs of the same files differ"

tar -tzf "$tarball" >"$work/entries" || fail "$tarball is not a gzipped tar archive"
outside=$(grep -v "^$name/" "$work/entries")
[ -z "$outside" ] || fail "entries outside $name/: $outside"
sed "s,^$name/,," "$work/entries" | LC_ALL=C sort >"$work/files"
for f in CMakeLists.txt LICENSE CHANGELOG.md README.md scripts/setup.sh docs/quorvatide.6.in \
    cmake/debian/copyright; do
    grep -qxF "$f" "$work/files" || fail "the tarball has no $f"
done
made=$(grep -E '(^|/)\.git(/|$)|^build[^/]*/|^dist/|(^|/)Assets/|\.(bmp|wav|o|a|gz|deb)$' "$work/files")
[ -z "$made" ] || fail "the tarball holds generated or git files: $made"
if top=$(git -C "$src" rev-parse --show-toplevel 2>/dev/null) && [ "$top" -ef "$src" ]; then
    git -C "$src" ls-files --cached --others --exclude-standard | LC_ALL=C sort >"$work/git-files"
    differ=$(diff "$work/git-files" "$work/files")
    [ -z "$differ" ] || fail "the tarball's files are not git's ('<' git only, '>' tarball only): $differ"
    echo "the tarball holds git's $(wc -l <"$work/files") files"
fi

# Unpacked into an empty folder and built with git out of reach: a git that is called leaves a
# mark.
mkdir -p "$work/empty" "$work/nogit"
tar -xzf "$tarball" -C "$work/empty" || fail "could not unpack $tarball"
printf '#!/bin/sh\ntouch "%s/git-called"\nexit 1\n' "$work" >"$work/nogit/git"
chmod +x "$work/nogit/git"
tree=$work/empty/$name
options=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BENCH=OFF)
[ -z "$launcher" ] || options+=("-DCMAKE_CXX_COMPILER_LAUNCHER=$launcher")
PATH=$work/nogit:$PATH cmake -S "$tree" -B "$tree/build" "${options[@]}" >"$work/configure.log" 2>&1 ||
    fail "configuring the unpacked sources failed: $(tail -20 "$work/configure.log")"
PATH=$work/nogit:$PATH cmake --build "$tree/build" --target quorvatide package_docs \
    -j "$(nproc 2>/dev/null || echo 2)" >"$work/build.log" 2>&1 ||
    fail "building the unpacked sources failed: $(tail -20 "$work/build.log")"
[ ! -e "$work/git-called" ] || fail "configuring or building the tarball called git"
[ "$("$tree/build/quorvatide" --version)" = "quorvatide $version" ] ||
    fail "the program built from the tarball is not version $version"
[ -f "$tree/build/Assets/settings.ini" ] && [ -f "$tree/build/Assets/splash.bmp" ] ||
    fail "the build from the tarball made no Assets"
echo "unpacked into an empty folder, configured and built: quorvatide $version with" \
    "$(ls "$tree/build/Assets" | wc -l) Assets files"
rm -rf "$work"
