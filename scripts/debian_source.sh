# Sourced by the cross builds' scripts: Debian's own source packages, fetched with apt-get
# through a sources list of this script's own (the machine's apt configuration is left as it
# is), checked against their .dsc and unpacked. Nothing comes from anywhere else.
#   debian_source PACKAGE VERSION DEST   unpacks the upstream source of PACKAGE=VERSION into DEST
#                                        (once: a DEST that exists is left as it is)
# QV_DEPS_CACHE (default ~/.cache/quorvatide/deps) holds the downloads and the builds.

QV_DEPS_CACHE=${QV_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quorvatide/deps}

_qv_apt() {
    local apt=$QV_DEPS_CACHE/apt
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial"
    if [ ! -f "$apt/sources.list" ]; then
        # The suites of the machine's own Debian release.
        local codename
        codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
        printf '%s\n' "deb-src http://deb.debian.org/debian $codename main" \
            "deb-src http://deb.debian.org/debian $codename-updates main" \
            "deb-src http://deb.debian.org/debian-security $codename-security main" \
            >"$apt/sources.list"
    fi
    apt-get -q -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" \
        -o Debug::NoLocking=1 "$@"
}

debian_source() {
    local package=$1 version=$2 dest=$3
    [ -d "$dest" ] && return 0
    local downloads=$QV_DEPS_CACHE/sources/$package-$version
    mkdir -p "$downloads"
    local upstream=${version#*:}
    upstream=${upstream%-*}
    local orig
    orig=$(ls "$downloads"/*_"$upstream".orig.tar.* 2>/dev/null | head -n 1)
    if [ -z "$orig" ]; then
        [ -n "$(ls "$QV_DEPS_CACHE/apt/lists"/*Sources* 2>/dev/null)" ] || _qv_apt update >/dev/null
        # Only the upstream tarball and the .dsc are needed: some of the archive's Debian
        # diffs are missing, which apt reports and we do not use.
        (cd "$downloads" && _qv_apt source --download-only --only-source "$package=$version" \
            >/dev/null 2>&1) || true
        orig=$(ls "$downloads"/*_"$upstream".orig.tar.* 2>/dev/null | head -n 1)
        [ -n "$orig" ] || { echo "debian_source: cannot fetch $package $version" >&2; return 1; }
    fi
    # The tarball is the one the .dsc names, byte for byte.
    local dsc sum
    dsc=$(ls "$downloads"/*.dsc | head -n 1)
    sum=$(awk -v f="$(basename "$orig")" '/^Checksums-Sha256:/{s=1;next} /^[^ ]/{s=0} s&&$3==f{print $1}' "$dsc")
    [ -n "$sum" ] && echo "$sum  $orig" | sha256sum -c --quiet - ||
        { echo "debian_source: $orig does not match $dsc" >&2; return 1; }
    local unpack
    unpack=$(mktemp -d "$QV_DEPS_CACHE/unpack.XXXXXX")
    tar -xf "$orig" -C "$unpack"
    mkdir -p "$(dirname "$dest")"
    mv "$unpack"/* "$dest"
    rmdir "$unpack"
}
