#!/usr/bin/env bash
# Unpacks kissfft's sources into DIR from Debian's source package of the libkissfft-dev
# installed here, Debian's patches applied: the web build compiles the C sources that the
# native build links as Debian's library. apt works on lists of its own under DIR, so the
# machine's sources and lists stay as they are.
#   fetch-kissfft-source.sh DIR
set -euo pipefail
dir=${1:?usage: fetch-kissfft-source.sh DIR}
version=$(dpkg-query -W -f='${source:Version}' libkissfft-dev)
[ -f "$dir/kiss_fftr.c" ] && [ "$(cat "$dir/.debian-version" 2>/dev/null)" = "$version" ] && exit 0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
cat >"$work/sources.list" <<LIST
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
LIST
apt_options=(-o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o APT::Sandbox::User=root -qq)
apt-get "${apt_options[@]}" update
(cd "$work" && apt-get "${apt_options[@]}" source --download-only "kissfft=$version")

rm -rf "$dir" && mkdir -p "$dir"
tar -xzf "$work"/kissfft_*.orig.tar.gz -C "$dir" --strip-components=1
tar -xJf "$work"/kissfft_*.debian.tar.xz -C "$dir"
# The series lists the patches Debian applies; those commented out it leaves alone.
grep -v '^\s*#' "$dir/debian/patches/series" | while read -r patch; do
  [ -n "$patch" ] && patch -d "$dir" -p1 -s <"$dir/debian/patches/$patch"
done
echo "$version" >"$dir/.debian-version"
echo "kissfft $version unpacked into $dir"
