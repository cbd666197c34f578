#!/bin/sh
# What a host sees of the plug-in without running it: the right kind of DLL, exactly one
# export, and imports from Windows' own DLLs only (the C++ runtime is linked in).
#   dll_static_check.sh OBJDUMP QELV.DLL FORMAT     FORMAT: pei-i386 or pei-x86-64
set -u
objdump=$1 dll=$2 format=$3
fail() { echo "FAIL: $*"; exit 1; }
headers=$("$objdump" -p "$dll") || fail "$objdump cannot read $dll"

echo "$headers" | grep -q "file format $format\$" || fail "$dll is not a $format DLL"
case $format in
  pei-i386) magic='010b' ;;   # PE32
  *) magic='020b' ;;          # PE32+
esac
echo "$headers" | grep -Eq "^Magic[[:space:]]+$magic" || fail "$dll has not the optional header $magic"
echo "$headers" | grep -Eq '^[[:space:]]+DLL$' || fail "$dll is not marked as a DLL"

exports=$(echo "$headers" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p')
[ "$exports" = vambloVisGetHeader ] || fail "exports are not exactly vambloVisGetHeader: $(echo $exports)"

allowed=' kernel32.dll user32.dll gdi32.dll ddraw.dll comdlg32.dll comctl32.dll msvcrt.dll '
imports=$(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || fail "no imports found in $dll"
for name in $imports; do
  case "$allowed" in
    *" $name "*) ;;
    *) fail "$dll imports $name, which is not a Windows system DLL" ;;
  esac
done
echo "$format DLL, one export, imports only $(echo $imports)"
