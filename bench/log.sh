#!/usr/bin/env bash
# Uninstall log speed: records written one call each, then read back.
#   bench/log.sh [N...]     (default 10000 100000; run `make` first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/bench/bench-env.sh"
work=$top/build/bench/log
mkdir -p "$work"
cp "$bin/wendlo.dll" "$bench_bin/"
for n in "${@:-10000 100000}"; do
  for count in $n; do
    "$run" "$bench_bin/bench_log.exe" 'Z:'"${work//\//\\}"'\uninst.log' "$count" | tr -d '\r'
  done
done
