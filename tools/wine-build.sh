# Sourced by the scripts that run the program under Wine; says which build runs how.
#   source tools/wine-build.sh ship     the program that ships (the demo): win32
#   source tools/wine-build.sh timing   a build that runs natively (the benchmarks)
# Sets bs_preset, and bs_vm: empty where 32-bit Wine runs on this machine, or the
# tools/vm-run command that runs 32-bit Wine in a VM where the kernel refuses 32-bit
# programs. Timings taken under emulation are no figures, so "timing" takes the
# win64 build under 64-bit Wine there instead. BS_FORCE_VM=1: as on such a machine.
bs_preset=win32
bs_vm=()
if [[ ${BS_WINE64:-0} == 1 ]]; then
  bs_preset=win64
elif [[ ${BS_FORCE_VM:-0} == 1 ]] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if [[ ${1:-ship} == timing || ! -x /usr/lib/wine/wine ]]; then
    # Timing, or no 32-bit Wine at all (a mirror that could not give it): the win64 build.
    if ! /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
      echo "$(basename "$0"): Wine cannot run on this machine" >&2
      exit 1
    fi
    bs_preset=win64
    export BS_WINE64=1
    if [[ -x /usr/lib/wine/wine ]]; then
      echo "$(basename "$0"): this machine cannot run 32-bit programs; timing the win64 build under 64-bit Wine" >&2
    else
      echo "$(basename "$0"): 32-bit Wine is not installed; running the win64 build under 64-bit Wine" >&2
    fi
  else
    bs_vm=("$(dirname "${BASH_SOURCE[0]}")/vm-run" --time-limit 1800)
    echo "$(basename "$0"): this machine cannot run 32-bit programs; running the win32 build under 32-bit Wine in a VM (tools/vm-run)" >&2
  fi
fi
