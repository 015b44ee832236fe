#!/usr/bin/env bash
# The release: writes into dist/ the Debian package, the Windows zip, the page (dist/web and its
# zip), the source tarball and SHA256SUMS.
#   scripts/release.sh               builds in Release (build/, as the set-up does), makes the
#                                    package, checks it with lintian, builds the Windows zip
#                                    (scripts/build_windows.sh) and the page
#                                    (scripts/setup.sh web) and writes dist/
#   scripts/release.sh --source DIR  writes only the source tarball, into DIR
# The version is the project's (CMakeLists.txt). The tarball holds everything needed to build
# and nothing the build makes: the tree less what .gitignore leaves out (the build folders,
# dist/, screenshots) and git's own files, so it can be made again from an unpacked tarball,
# without git. It is the same bytes for the same files.
set -euo pipefail
cd "$(dirname "$0")/.."

die() {
    echo "release.sh: $*" >&2
    exit 1
}

version=$(sed -n 's/^project(Quorvatide VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || die "no version in project() in CMakeLists.txt"
name=quorvatide-$version

# source_tarball <folder>: writes <folder>/quorvatide-<version>.tar.gz.
source_tarball() {
    local out=$1 date epoch tarball part
    # Every file dated the release's day (from CHANGELOG.md), owned by root.
    date=$(sed -n "s/^## $version (\([0-9-]*\))\$/\1/p" CHANGELOG.md)
    [ -n "$date" ] || die "CHANGELOG.md has no heading '## $version (YYYY-MM-DD)'"
    epoch=$(date -u -d "$date" +%s)
    mkdir -p "$out"
    tarball=$out/$name.tar.gz
    part=$(mktemp)
    # What .gitignore leaves out, and git's own files and this script's output.
    find . \( -name .git -o -name .cache -type d -o -path './build*' -type d \
              -o -path ./out -o -path ./dist -o -path ./tests/web/node_modules \) -prune \
         -o \( -type f -o -type l \) ! -name compile_commands.json \
            ! \( -name '*.png' ! -regex '\./docs/[^/]*\.png' \) -print0 |
        sed -z 's,^\./,,' | LC_ALL=C sort -z |
        tar --create --null --files-from=- --transform="s,^,$name/," --format=gnu \
            --owner=0 --group=0 --numeric-owner --mtime="@$epoch" --mode='a+rX,go-w' |
        gzip -9n >"$part"
    chmod 644 "$part"
    mv "$part" "$tarball"
    echo "$tarball: $(tar -tzf "$tarball" | wc -l) files"
}

if [ "${1:-}" = "--source" ]; then
    [ $# -eq 2 ] || die "usage: scripts/release.sh [--source DIR]"
    source_tarball "$2"
    exit 0
fi
[ $# -eq 0 ] || die "usage: scripts/release.sh [--source DIR]"

for tool in cmake cpack dpkg-shlibdeps lintian gzip sha256sum x86_64-w64-mingw32-g++-posix; do
    command -v $tool >/dev/null || die "$tool is not installed (scripts/setup.sh test installs it)"
done

# The Release build of the set-up, never a sanitizer or fuzzing one.
generator=()
[ -f build/CMakeCache.txt ] || generator=(-G Ninja)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DQV_SANITIZE=OFF -DQV_FUZZ=OFF \
    >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"

rm -rf dist
mkdir -p dist
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config build/CPackConfig.cmake -B "$work" >"$work/cpack.log" 2>&1 ||
    die "cpack failed: $(tail -5 "$work/cpack.log")"
deb=$(ls "$work"/quorvatide_"$version"_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || die "cpack made no package quorvatide_${version}_*.deb"
mv "$deb" dist/
deb=dist/$(basename "$deb")
echo "== lintian $deb"
lintian --fail-on error,warning "$deb" || die "lintian finds errors or warnings in $deb"

echo "== the Windows zip"
bash scripts/build_windows.sh >"$work/windows.log" 2>&1 ||
    die "the Windows build failed: $(tail -5 "$work/windows.log")"
[ -f "dist/$name-windows-x86_64.zip" ] || die "no dist/$name-windows-x86_64.zip"

echo "== the page"
bash scripts/setup.sh web >"$work/web.log" 2>&1 || die "the browser build failed: $(tail -5 "$work/web.log")"
[ -f "dist/$name-web.zip" ] || die "no dist/$name-web.zip"

source_tarball dist
(cd dist && sha256sum -- *.deb *.zip *.tar.gz >SHA256SUMS)
echo "== dist/"
ls -l dist
