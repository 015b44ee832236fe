#!/usr/bin/env bash
# Makes the Debian package from the build with `cpack -G DEB`, as a user would, into a folder
# of its own for the tests that check it (lintian_clean, real_deb). The package is named after
# the project's version.
#
#   deb_package.sh <build folder> <package folder> <version>
set -u
build=$1
out=$2
version=$3
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v $tool >/dev/null || fail "$tool is not installed"
done
rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -5 "$out/cpack.log")"
deb=$out/quorvatide_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$out")"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
rm -rf "$out/_CPack_Packages"
echo "made $(basename "$deb"), $(($(stat -c %s "$deb") / 1024)) KiB"
