#!/usr/bin/env bash
# Runs a command inside one Wine session: a fresh prefix, an X server of its own
# (Xvfb) unless BS_USE_DISPLAY=1 and $DISPLAY is set, and a wineserver that is ended
# afterwards so nothing is left running.
#   tools/wine-session.sh PREFIX COMMAND [ARGS...]
# The prefix is created anew unless BS_KEEP_PREFIX=1 and it exists already.
# BS_WINE64=1 runs 64-bit Wine (for the win64 build on a machine whose kernel cannot
# run 32-bit programs); the commands of the session then find it as `wine` on PATH.
set -euo pipefail

if [[ $# -lt 2 ]]; then
  echo "usage: $0 PREFIX COMMAND [ARGS...]" >&2
  exit 2
fi
prefix=$(realpath -m "$1")
shift

export WINEPREFIX=$prefix
if [[ ${BS_WINE64:-0} == 1 ]]; then
  export WINEARCH=win64
  # Debian's wine script prefers the 32-bit loader whenever it is installed.
  shims=$(dirname "$prefix")/wine64-bin
  mkdir -p "$shims"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/wine"
  printf '#!/bin/sh\nexec /usr/lib/wine/wine64 wineboot.exe "$@"\n' >"$shims/wineboot"
  chmod +x "$shims/wine" "$shims/wineboot"
  export PATH=$shims:$PATH
  export WINELOADER=/usr/lib/wine/wine64
else
  export WINEARCH=win32
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

if [[ -z ${BS_IN_X:-} ]]; then
  if [[ ${BS_USE_DISPLAY:-0} == 1 && -n ${DISPLAY:-} ]]; then
    export BS_IN_X=1
  else
    export BS_IN_X=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$prefix" "$@"
  fi
fi

init_prefix() {
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  # Under emulation on a busy machine the first start of Wine can outlast Wine's own
  # waits and leave the prefix half made (its system DLLs missing); the next start
  # completes it. A prefix is made when a program runs in it.
  local attempt
  for attempt in 1 2 3; do
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    if wine cmd /c exit >/dev/null 2>&1 && [[ -f $prefix/system.reg ]]; then
      wineserver -w || true
      break
    fi
    if [[ $attempt -eq 3 ]]; then
      echo "wine-session: Wine could not make the prefix $prefix" >&2
      return 1
    fi
    echo "wine-session: the prefix was left half made; starting Wine again" >&2
  done
  # The shell folders point into the user's home; the drive search of the SW layer
  # walks all of C:, so they become empty folders of the prefix's own.
  local link
  for link in "$prefix"/drive_c/users/*/*; do
    if [[ -L $link ]]; then
      rm -f "$link"
      mkdir -p "$link"
    fi
  done
  # Wine's own fonts, Marlett among them for the caption buttons, where this Wine
  # build does not look for them.
  if [[ -d /usr/share/wine/fonts ]]; then
    cp -n /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # Without a window manager, Wine draws captions and frames itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
}

if [[ ${BS_KEEP_PREFIX:-0} != 1 || ! -f $prefix/system.reg ]]; then
  init_prefix || exit 1
fi

# One persistent server for the whole session: every wine start is quicker. Its
# system processes are started here with no terminal or pipe of ours open, so that a
# test runner reading a test's output does not wait for them to close it.
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
set +e
"$@"
rc=$?
set -e
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
exit $rc
