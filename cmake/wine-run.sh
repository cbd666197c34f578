#!/bin/sh
# Runs a cross-built test program under Wine. A script, because WINEDLLOVERRIDES holds ';'.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
exec wine "$@"
