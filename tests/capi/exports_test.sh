#!/bin/sh
# libqelv as a linker sees it: the soname, every function of the header exported and
# nothing else (no engine, C++ runtime or library symbol leaks through), and none of the
# tool's window, sound-server or panel libraries among what it needs.
set -u
lib=$1
header=$2
fail() { echo "FAIL: $*"; exit 1; }

exported=$(nm -D --defined-only "$lib" | awk '{print $NF}' | sort)
[ -n "$exported" ] || fail "nm -D finds no symbols in $lib"
others=$(echo "$exported" | grep -v '^qelv_')
[ -z "$others" ] || fail "$lib exports more than its qelv_ functions: $(echo $others)"
declared=$(grep -o 'qelv_[a-z0-9_]*(' "$header" | tr -d '(' | sort -u)
[ "$exported" = "$declared" ] || fail "the exports are not the header's functions: $(echo "$exported" "$declared" | tr ' ' '\n' | sort | uniq -u)"
echo "exports: $(echo "$exported" | wc -l) qelv_ functions, nothing else"

dynamic=$(readelf -d "$lib")
echo "$dynamic" | grep -q 'SONAME.*\[libqelv\.so\.1\]' || fail "the soname is not libqelv.so.1: $(echo "$dynamic" | grep SONAME)"
needed=$(echo "$dynamic" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p')
for unwanted in SDL imgui pulse; do
  echo "$needed" | grep -qi "$unwanted" && fail "$lib needs $(echo "$needed" | grep -i "$unwanted")"
done
echo "needs: $(echo $needed)"
