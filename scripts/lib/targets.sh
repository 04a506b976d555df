# Sourced by the scripts: the two Windows targets, where each is built, and
# which of them this machine can run.
#
#   wyn_configure TARGET [CMAKE ARGS...]   configure build/TARGET (i686 or x86_64)
#   wyn_build_dir TARGET                   prints the target's build folder
#   wyn_dist_dir TARGET                    prints the folder of its program set
#   wyn_best_target                        prints the target the machine runs best
#
# Needs $here (the checkout) and $deps (the root scripts/setup printed).

# shellcheck source=../../tests/rig/wine-env.sh
. "$here/tests/rig/wine-env.sh"

WYN_TARGETS=(x86_64 i686)
wyn_build_root=${WYN_BUILD_DIR:-$here/build}

wyn_build_dir() { echo "$wyn_build_root/$1"; }

wyn_dist_dir() {
  case "$1" in
    x86_64) echo "$wyn_build_root/dist/win64" ;;
    *) echo "$wyn_build_root/dist/win32" ;;
  esac
}

wyn_configure() {
  local target=$1; shift
  cmake -S "$here" -B "$(wyn_build_dir "$target")" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-$target.cmake" \
    -DWYN_DEPS_ROOT="$deps" -DWYN_DIST_DIR="$(wyn_dist_dir "$target")" \
    -DWYN_CROSS_FILES_DIR="$wyn_build_root/cross-files" "$@" >/dev/null
}

# The 32-bit program is the one the screensaver was made as; where the machine
# cannot execute 32-bit code, the 64-bit one is all there is.
wyn_best_target() {
  if wyn_runs_32bit; then echo i686; else echo x86_64; fi
}
