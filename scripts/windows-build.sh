# Sourced by scripts/run-tests and scripts/demo: which Windows build runs
# under Wine on this machine. The 32-bit one (build/win, the deliverables)
# in 32-bit prefixes; on a kernel that runs no 32-bit programs, where Wine's
# 32-bit loader fails with "Exec format error", the same sources built for
# 64-bit Windows (build/win64) in 64-bit prefixes, which Wine runs natively.
#
# Sets build (its folder), bin (its programs), wine_arch, wine (the loader
# to start Windows programs with) and wine_dir (the test prefixes, made by
# scripts/test-prefix); use_windows_build TARGET... builds the 64-bit one's
# targets (all of them without a target).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  build=build/win bin=build/bin wine_arch=win32 wine=wine wine_dir=build/wine
else
  build=build/win64 bin=build/win64/bin wine_arch=win64 wine=/usr/lib/wine/wine64 wine_dir=build/wine64
  export WINELOADER=$wine
fi

use_windows_build() {
  [ "$wine_arch" = win64 ] || return 0
  echo "this kernel runs no 32-bit programs: Wine runs the 64-bit build ($build)" >&2
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DSUITE_NATIVE_DIR="$PWD/build/native" -DSUITE_FUZZ_DIR="$PWD/build/fuzz" \
    -DSUITE_BIN_DIR="$PWD/$bin" -DSUITE_WINE_DIR="$PWD/build/wine64" >/dev/null
  local targets=()
  local t
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$build" -j "${JOBS:-2}" "${targets[@]}"
}
