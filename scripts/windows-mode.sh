# Sourced by the test command: decides which Windows tree runs the Windows tests.
#   win32: this machine runs 32-bit programs, so the shipped 32-bit plug-in runs under the 32-bit Wine.
#   win64: it does not, so the same sources built for 64-bit Windows run under the 64-bit Wine.
# QELV_WINE_ARCH=win32|win64 chooses instead of the probe, so either mode can be tried anywhere.

# Whether the kernel runs a 32-bit program: a 96-byte static i386 ELF that exits with 7.
runs_32bit_programs() {
  local probe status
  probe=$(mktemp)
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\140\0\0\0\140\0\0\0\5\0\0\0\0\020\0\0' >>"$probe"
  printf '\270\1\0\0\0\273\7\0\0\0\315\200' >>"$probe"   # mov eax,1; mov ebx,7; int 0x80
  chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  [ $status -eq 7 ]
}

windows_mode() {
  case "${QELV_WINE_ARCH:-}" in
    win32|win64) echo "$QELV_WINE_ARCH"; return ;;
    "") ;;
    *) echo "QELV_WINE_ARCH must be win32 or win64, not '$QELV_WINE_ARCH'" >&2; return 1 ;;
  esac
  if runs_32bit_programs; then echo win32; else echo win64; fi
}
