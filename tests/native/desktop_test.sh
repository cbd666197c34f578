#!/bin/sh
# The tool as a desktop installs it: `cmake --install` of this build into a folder of our
# own, then the menu entry and the AppStream metadata through their validators, the
# manual page against every command's help, the icon as a picture, and bash completion
# of a command, an option and a shipped preset's name.
set -u
qelv=$1
build=$(dirname "$qelv")
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
for tool in desktop-file-validate appstreamcli help2man identify; do
  command -v $tool >/dev/null || fail "$tool is not installed (scripts/install-deps.sh tests installs it)"
done

cmake --install "$build" --prefix "$dir/usr" >/dev/null || fail "cmake --install"
share=$dir/usr/share
desktop-file-validate "$share/applications/qelv.desktop" || fail "the desktop entry"
appstreamcli validate --no-net --pedantic "$share/metainfo/org.qelv.qelv.metainfo.xml" >"$dir/as.log" 2>&1 ||
  { cat "$dir/as.log"; fail "the AppStream metadata"; }
grep -q "release version=\"$("$qelv" --version | cut -d' ' -f2)\"" "$share/metainfo/org.qelv.qelv.metainfo.xml" ||
  fail "the metadata's release is not the tool's version"
[ "$(identify -format '%wx%h' "$share/icons/hicolor/256x256/apps/qelv.png")" = 256x256 ] || fail "the icon"

# The manual: the version, and every line of every command's help.
man=$share/man/man1/qelv.1
[ -f "$man" ] || fail "no manual page installed"
grep -q "$("$qelv" --version)" "$man" || fail "the manual page names another version"
for command in render play analyze preset; do
  "$qelv" $command --help | sed 's/\\/\\e/g' | while IFS= read -r line; do
    [ -z "$line" ] && continue
    grep -qF -- "$line" "$man" || { echo "FAIL: the manual page lacks '$line' of qelv $command --help"; exit 1; }
  done || exit 1
done

# Completion, as bash asks for it: the words so far, and the one being completed.
complete_line() {
  bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _qelv; printf "%s\n" "${COMPREPLY[@]}"' \
    sh "$share/bash-completion/completions/qelv" "$qelv" "$@"
}
for case in "ren|render" "render --qu|--quality" "play --pre|--preset" "play --preset aur|aurora" \
            "preset show beat-s|beat-star" "render --quality d|draft" "preset t|to-json"; do
  words=${case%|*} want=${case#*|}
  # shellcheck disable=SC2086
  got=$(complete_line $words)
  echo "$got" | grep -qx -- "$want" || fail "completing 'qelv $words' gave '$got', not $want"
done
echo "desktop files: entry, metadata, icon, manual page and completion as installed"
