#!/usr/bin/env bash
# Installing a package with setup.exe's engine (under Wine) next to gzip -dc
# of the same setup.dat plus cp of the same files, on the same disk:
#   many  10,000 small files (100 bytes to 16 KB) in one group
#   large one file of SIZE_MB (default 200) in one group
#   bench/install.sh [SIZE_MB]     (run `make` first)
# Under Wine every new file costs a case-insensitive scan of its folder, so
# creating many files in one folder grows quadratically (10,000 bare
# CreateFileA calls into one folder take about 30 s on the test machine);
# the "many" ratio measures that more than the copy engine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/bench/bench-env.sh"
size_mb=${1:-200}
cp "$bin/zlib.dll" "$bin/wendlo.dll" "$bench_bin/"
winpath() { echo 'Z:'"${1//\//\\}"; }
now() { date +%s.%N; }

# Writes the files into src/ and the package body (header, one group of
# ordinary files for the installation directory) into body.
make_package() {  # KIND
  python3 - "$1" "$size_mb" <<'PY'
import os, random, struct, sys
kind, size_mb = sys.argv[1], int(sys.argv[2])
random.seed(1)
text = open('/usr/share/common-licenses/GPL-3', 'rb').read()
def content(size):
    out = bytearray()
    while len(out) < size:
        k = random.randrange(3)
        out += text if k == 0 else random.randbytes(4096) if k == 1 else bytes(range(256)) * 16
    return bytes(out[:size])
if kind == 'many':
    files = [('file%05d.dat' % i, content(random.randrange(100, 16384))) for i in range(10000)]
else:
    files = [('large.dat', content(size_mb << 20))]
os.makedirs('src', exist_ok=True)
for name, data in files:
    open(os.path.join('src', name), 'wb').write(data)
total = sum(len(d) for _, d in files)
group = bytes(255) + bytes([0x11]) + struct.pack('<II', len(files), total)
entries = b''.join(name.encode().ljust(260, b'\0') + struct.pack('<I', len(d)) for name, d in files)
header = bytearray(328)
header[0:8] = b'[ZKDAT]\0'
header[8:16] = b'Bench\0\0\0'
header[137] = 1  # one group
struct.pack_into('<II', header, 156, 328, len(group) + len(entries) + total)
with open('body', 'wb') as out:
    out.write(header + group + entries)
    for _, d in files:
        out.write(d)
PY
}

for kind in many large; do
  work=$top/build/bench/install-$kind-$size_mb
  mkdir -p "$work/temp"
  cd "$work"
  if [ ! -f setup.dat ]; then
    rm -rf src
    make_package "$kind"
    gzip -c -6 body > setup.dat
    rm -f body
  fi

  rm -rf dest-cp gunzip.out && mkdir dest-cp && sync
  start=$(now); gzip -dc setup.dat > gunzip.out; gzip_s=$(echo "$(now) - $start" | bc)
  start=$(now); cp -r src/. dest-cp/; cp_s=$(echo "$(now) - $start" | bc)
  rm -rf dest-cp gunzip.out

  rm -rf dest && mkdir dest && sync
  read -r unpack_s copy_s < <(TMP=$(winpath "$work/temp") "$run" \
      "$bench_bin/bench_install.exe" "$(winpath "$work/setup.dat")" "$(winpath "$work/dest")" | tr -d '\r')
  diff -rq src dest >/dev/null || { echo "$kind: installed files differ from the source" >&2; exit 1; }
  [ -z "$(ls -A temp)" ] || { echo "$kind: temporary files left behind" >&2; exit 1; }
  rm -rf dest

  mb=$(echo "scale=1; $(du -sb src | cut -f1) / 1048576" | bc)
  printf '%s: %s files, %s MB\n' "$kind" "$(ls src | wc -l)" "$mb"
  printf '  gzip -dc + cp:             %6.2f s (%.2f + %.2f)\n' "$(echo "$gzip_s + $cp_s" | bc)" "$gzip_s" "$cp_s"
  printf '  unpack + install groups:   %6.2f s (%.2f + %.2f)\n' "$(echo "$unpack_s + $copy_s" | bc)" "$unpack_s" "$copy_s"
  printf '  ratio (setup / gzip+cp):   %6.2f   unpack/gzip %.2f   groups/cp %.2f\n' \
    "$(echo "($unpack_s + $copy_s) / ($gzip_s + $cp_s)" | bc -l)" \
    "$(echo "$unpack_s / $gzip_s" | bc -l)" "$(echo "$copy_s / $cp_s" | bc -l)"
done
