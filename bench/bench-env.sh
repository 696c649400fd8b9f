# Sourced by the benchmarks (with top set to the checkout): the Windows build
# that Wine runs on this machine (scripts/windows-build.sh), its programs, and
# its test prefix, started. Where the kernel runs no 32-bit programs that is
# the 64-bit build; the shipped sizes are always those of the 32-bit files.
source "$top/scripts/windows-build.sh"
run=$top/$build/wine-run
bin=$top/$bin
bench_bin=$top/$build/bench
shipped=$top/build/bin
prefix_c=$top/$wine_dir/prefix/drive_c
"$top/scripts/test-prefix" start "$top/$wine_dir" "$wine_arch"
