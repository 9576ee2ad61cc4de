# Sourced by the scripts that run the program under Wine: sets bs_preset to the
# Windows build that Wine can run on this machine. That is win32, the program
# itself; on a machine whose kernel cannot run 32-bit programs, 32-bit Wine cannot
# start, and the win64 build of the same sources runs under 64-bit Wine instead.
bs_preset=win32
if [[ ${BS_WINE64:-0} == 1 ]]; then
  bs_preset=win64
elif ! wine --version >/dev/null 2>&1; then
  if ! /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
    echo "$(basename "$0"): Wine cannot run on this machine" >&2
    exit 1
  fi
  bs_preset=win64
  export BS_WINE64=1
  echo "$(basename "$0"): this machine cannot run 32-bit programs; using the win64 build under 64-bit Wine" >&2
fi
