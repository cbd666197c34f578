#!/bin/sh
# The manual page is made from the tool's own help at build time, so it cannot drift from
# it: help2man reads 'qelv --help' and 'qelv --version', and every command's --help
# follows as it is printed, in a section of its own.
#   make-man-page.sh QELV OUT.1
set -eu
qelv=$1 out=$2
include=$(mktemp)
trap 'rm -f "$include"' EXIT
{
    echo "[COMMANDS]"
    for command in render play analyze preset; do
        echo ".SS qelv $command"
        echo ".nf"
        # roff: a backslash is written \e, and a line may not start with a dot or quote.
        "$qelv" "$command" --help | sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"
        echo ".fi"
    done
    echo "[FILES]"
    echo ".TP"
    echo ".I ~/.config/qelv/qelv5.dat"
    echo "the chain as an interactive play left it"
    echo ".TP"
    echo ".I ~/.config/qelv/qelv.ini"
    echo "the window's place and size"
} >"$include"
help2man --no-info --name "real-time music visualiser" --include "$include" \
    --output "$out" "$qelv"
