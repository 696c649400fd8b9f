#!/usr/bin/env bash
# Uninstall log speed: records written one call each, then read back.
#   bench/log.sh [N...]     (default 10000 100000; run `make` first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$top/build/bench/log
mkdir -p "$work"
cp "$top/build/bin/wendlo.dll" "$top/build/win/bench/"
"$top/scripts/test-prefix" start "$top/build/wine"
for n in "${@:-10000 100000}"; do
  for count in $n; do
    "$top/build/win/wine-run" "$top/build/win/bench/bench_log.exe" 'Z:'"${work//\//\\}"'\uninst.log' "$count" | tr -d '\r'
  done
done
