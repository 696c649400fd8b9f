#!/usr/bin/env bash
# Unpacking throughput of setup.exe (under Wine) next to gzip -dc of the same
# setup.dat on the same machine, both writing the body to the same disk.
#   bench/unpack.sh [SIZE_MB]     (default 200; run `make` first)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/bench/bench-env.sh"
size_mb=${1:-200}
work=$top/build/bench/unpack-$size_mb
mkdir -p "$work"
cd "$work"

if [ ! -f setup.dat ]; then
  # A body that compresses like a real package: text, code-like bytes, noise.
  python3 - "$size_mb" <<'PY'
import random, sys
random.seed(1)
target = int(sys.argv[1]) << 20
text = open('/usr/share/common-licenses/GPL-3', 'rb').read()
with open('body', 'wb') as out:
    written = 0
    while written < target:
        kind = random.randrange(3)
        chunk = text if kind == 0 else random.randbytes(65536) if kind == 1 else bytes(range(256)) * 256
        chunk = chunk[: target - written]
        out.write(chunk)
        written += len(chunk)
PY
  gzip -c -6 body > setup.dat
  rm -f body
fi

cp "$bin/zlib.dll" .

start=$(date +%s.%N)
gzip -dc setup.dat > gunzip.out
gzip_s=$(echo "$(date +%s.%N) - $start" | bc)
body_bytes=$(stat -c %s gunzip.out)
rm -f gunzip.out

read -r unpacked unpack_s < <(TMP='Z:'"${work//\//\\}" "$run" "$bench_bin/bench_unpack.exe" setup.dat | tr -d '\r')
[ "$unpacked" = "$body_bytes" ] || { echo "unpacked $unpacked bytes, gzip gave $body_bytes" >&2; exit 1; }

mb=$(echo "scale=1; $body_bytes / 1048576" | bc)
printf 'package: %s MB compressed, %s MB body\n' "$(echo "scale=1; $(stat -c %s setup.dat) / 1048576" | bc)" "$mb"
printf 'gzip -dc:       %6.2f s  %7.1f MB/s\n' "$gzip_s" "$(echo "$mb / $gzip_s" | bc -l)"
printf 'UnpackPackage:  %6.2f s  %7.1f MB/s\n' "$unpack_s" "$(echo "$mb / $unpack_s" | bc -l)"
printf 'ratio (UnpackPackage time / gzip -dc time): %.2f\n' "$(echo "$unpack_s / $gzip_s" | bc -l)"
