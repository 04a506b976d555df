# Sourced by the rig and the scripts: chooses the Wine loader and server for one
# Windows target. Debian's /usr/bin/wine takes the 32-bit loader whenever it is
# installed, even on a machine whose kernel cannot execute it, so each target
# names its loader itself.
#
#   wyn_wine_env win32|win64     sets WYN_WINE, WYN_WINESERVER, WINEARCH, WINELOADER
#   wyn_runs_32bit               succeeds when this machine executes 32-bit programs
#   wyn_arch_of TRIPLET          prints win32 or win64

WYN_WINE_LIB=${WYN_WINE_LIB:-/usr/lib/wine}

wyn_wine_env() {
  case "$1" in
    win64)
      WYN_WINE=$WYN_WINE_LIB/wine64
      WYN_WINESERVER=$WYN_WINE_LIB/wineserver64 ;;
    win32)
      WYN_WINE=$WYN_WINE_LIB/wine
      WYN_WINESERVER=$WYN_WINE_LIB/wineserver32 ;;
    *)
      echo "wine-env: unknown Windows architecture '$1'" >&2
      return 2 ;;
  esac
  export WINEARCH=$1 WINELOADER=$WYN_WINE WINESERVER=$WYN_WINESERVER
}

# The 32-bit loader itself is the probe: where the kernel cannot execute it,
# execve fails with ENOEXEC and the shell reports 126.
wyn_runs_32bit() {
  [ -x "$WYN_WINE_LIB/wine" ] && "$WYN_WINE_LIB/wine" --version >/dev/null 2>&1
}

wyn_arch_of() {
  case "$1" in
    x86_64*) echo win64 ;;
    *) echo win32 ;;
  esac
}
