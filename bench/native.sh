#!/usr/bin/env bash
# The Linux zekmake on the peer benchmark's payload (51.5 MB: 200 text files
# and 5 binaries in two groups, with the uninstaller) against
# tar c | gzip -6 of the same files: zekmake's whole run (description,
# body, compression, CRC, the folder to ship) against compression alone.
# No Wine needed. The best of three runs of each, in processor seconds.
#
#   bench/native.sh   (run `make` first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$top/build/bench/peer
bin=$top/build/bin
mkdir -p "$work"
cd "$work"
source "$top/bench/common.sh"
make_payload

# Processor seconds (user and system, every process of the command): on a
# machine shared with other work, wall-clock times swing by half.
best() {  # COMMAND... -> the smallest of three runs
  local best="" i s
  for i in 1 2 3; do
    s=$( { TIMEFORMAT='%U %S'; time "$@" >/dev/null; } 2>&1 | awk '{ printf "%.3f", $1 + $2 }')
    if [ -z "$best" ] || [ "$(echo "$s < $best" | bc)" = 1 ]; then best=$s; fi
  done
  echo "$best"
}
native_build() { rm -rf dist-native && "$bin/zekmake" payload.toml dist-native; }
gzip_build() { tar c -C payload app bin | gzip -6 >payload.tar.gz; }

ours_s=$(best native_build)
gzip_s=$(best gzip_build)
printf '%-22s %10s %10s %-22s %8s\n' what ours theirs peer ratio
row "build (Linux zekmake)" "$ours_s" "$gzip_s" "tar | gzip -6" s 1.05
row "setup.dat size" "$(stat -c %s dist-native/setup.dat)" "$(stat -c %s payload.tar.gz)" "tar | gzip -6" B 1.0
