# Sourced by the test command after it has chosen its Windows mode ($windows_mode, win32 or
# win64): a Wine prefix of the project's own for that mode inside an Xvfb display of its own.
export WINEARCH=$windows_mode
if [ "$windows_mode" = win32 ]; then
  export WINEPREFIX="$root/build/wineprefix"
else
  export WINEPREFIX="$root/build/wineprefix64"
  # Debian's wine script picks the 32-bit loader whenever it is installed; the 64-bit mode
  # puts wine, wine-stable and wineboot that always take the 64-bit one first in PATH.
  wine64_bin="$root/build/wine64-bin"
  mkdir -p "$wine64_bin"
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$wine64_bin/wine"
  cp "$wine64_bin/wine" "$wine64_bin/wine-stable"
  printf '#!/bin/sh\nexec "%s/wine" wineboot.exe "$@"\n' "$wine64_bin" >"$wine64_bin/wineboot"
  printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$wine64_bin/wineserver"
  chmod +x "$wine64_bin"/*
  export PATH="$wine64_bin:$PATH"
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

wine_display_start() {
  local n
  for n in $(seq 91 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  if [ ! -f "$WINEPREFIX/.qelv-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # Without a window manager every hide or close would wait 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # The stand-in host runs in a virtual desktop, where display modes can really change.
    wine reg add 'HKCU\Software\Wine\AppDefaults\testhost_vd.exe\Explorer' /v Desktop /d qelvdesk /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v qelvdesk /d 1024x768 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.qelv-ready"
  fi
  # One persistent server, its services started with their output on /dev/null: a test
  # that started them would leave them holding its output pipe open.
  wineserver -p >/dev/null 2>&1
  wine cmd /c exit >/dev/null 2>&1 || true
}

wine_display_stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
