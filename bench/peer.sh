#!/usr/bin/env bash
# The suite beside an NSIS 3 installer of the same payload, measured in one
# run on one Wine prefix (the tests' main prefix, see bench/bench-env.sh):
#   payload  200 text files of about 200 KB in the installation folder and 5
#            binaries of about 2 MB in its subfolder "bin" (51.5 MB): two
#            plain groups, one setup type, with the uninstaller
#   many     10,000 small files (100 bytes to 16 KB) in one group
# One row per measure: ours, theirs, ours / theirs and the goal.
#   install    setup.exe answered by the dialog driver, from the click on OK
#              of the create-folder question to the final message showing
#              (dlgdrive's "clock" lines; the end is seen by polling every
#              20 ms, so it may read up to 20 ms late), against the NSIS
#              installer's /S run from its process start to its end
#   uninstall  drevok.exe from the Yes of its question to its goodbye box,
#              against the NSIS uninstaller's /S run (in place, _?=)
#   build      zek2dat.dll alone on the payload (builder_bench --payload),
#              against tar | gzip -6 of the same files and makensis (zlib)
#   setup.dat  its size against gzip -6 of the tar of the same files
#   shipped    setup.exe + drevok.exe + wendlo.dll as built, against an NSIS
#              installer of an empty payload, uninstaller included
#
#   bench/peer.sh     (run `make` first; installs Debian's nsis when missing)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
source "$top/bench/bench-env.sh"
work=$top/build/bench/peer
mkdir -p "$work"
cd "$work"
winpath() { echo 'Z:'"${1//\//\\}"; }
now() { date +%s.%N; }
ratio() { echo "scale=3; $1 / $2" | bc -l; }

command -v makensis >/dev/null || apt-get install -y nsis >/dev/null

# The payload and the many small files, made once.
if [ ! -f payload.done ]; then
  rm -rf payload many
  python3 - <<'PY'
import os, random
random.seed(7)
words = open('/usr/share/common-licenses/GPL-3').read().split()
def text(size):
    out, n = [], 0
    while n < size:
        line = ' '.join(random.choice(words) for _ in range(random.randrange(4, 14))) + ' %d\n' % random.randrange(10**6)
        out.append(line)
        n += len(line)
    return ''.join(out)[:size].encode()
def binary(size):
    out = bytearray()
    while len(out) < size:
        k = random.randrange(3)
        out += random.randbytes(4096) if k == 0 else bytes(range(256)) * 16 if k == 1 else text(4096)
    return bytes(out[:size])
os.makedirs('payload/app'); os.makedirs('payload/bin'); os.makedirs('many/files')
for i in range(200):
    open('payload/app/doc%03d.txt' % i, 'wb').write(text(random.randrange(190000, 215000)))
for i in range(5):
    open('payload/bin/prog%d.bin' % i, 'wb').write(binary(random.randrange(2000000, 2200000)))
for i in range(10000):
    open('many/files/file%05d.dat' % i, 'wb').write(binary(random.randrange(100, 16384)))
PY
  touch payload.done
fi

# Our packages, by zekmake, and the NSIS installers, by makensis.
cat >payload.toml <<'EOF'
[application]
name = "PeerBench"
version = "1.0"
uninstall = true
[[group]]
name = "App"
source = "payload/app"
[[group]]
name = "Bin"
source = "payload/bin"
subfolder = "bin"
[[setup_type]]
name = "Typical"
groups = ["App", "Bin"]
EOF
cat >many.toml <<'EOF'
[application]
name = "PeerMany"
version = "1.0"
uninstall = true
[[group]]
name = "Files"
source = "many/files"
EOF
for name in payload many; do
  rm -rf "dist-$name"
  "$run" "$bin/zekmake.exe" "$(winpath "$work/$name.toml")" "$(winpath "$work/dist-$name")" >/dev/null
done

# An NSIS script for the folders given as "SOURCE SUBFOLDER" pairs (SUBFOLDER
# "." for the installation folder); its uninstaller deletes what was
# installed by name, as ours does from its log.
nsis_script() {  # OUTFILE INSTDIR [SOURCE SUBFOLDER]...
  local out=$1 dir=$2
  shift 2
  printf 'Name "Peer"\nOutFile "%s"\nInstallDir "%s"\nRequestExecutionLevel user\nSetCompressor zlib\n' "$out" "$dir"
  # The installers run in the same prefix as ours, so for a 64-bit prefix
  # they are 64-bit too (the empty one only counts bytes: it stays 32-bit).
  [ "$wine_arch" = win64 ] && [ "$out" != nsis-empty.exe ] && printf 'Unicode true\nTarget amd64-unicode\n'
  printf 'InstType "Typical"\nSection "Main"\nSectionIn 1\nSetOutPath "$INSTDIR"\nWriteUninstaller "$INSTDIR\\Uninstall.exe"\nSectionEnd\n'
  local deletes="" i=0 src sub
  while [ $# -gt 0 ]; do
    src=$1 sub=$2
    shift 2
    local out_dir='$INSTDIR'
    [ "$sub" = . ] || out_dir="\$INSTDIR\\$sub"
    printf 'Section "G%d"\nSectionIn 1\nSetOutPath "%s"\nFile "%s/*"\nSectionEnd\n' "$i" "$out_dir" "$src"
    for f in "$src"/*; do deletes+="Delete \"$out_dir\\${f##*/}\""$'\n'; done
    [ "$sub" = . ] || deletes+="RMDir \"$out_dir\""$'\n'
    i=$((i + 1))
  done
  printf 'Section "Uninstall"\n%sDelete "$INSTDIR\\Uninstall.exe"\nRMDir "$INSTDIR"\nSectionEnd\n' "$deletes"
}
nsis_script nsis-payload.exe 'C:\PeerBench\nsis' payload/app . payload/bin bin >payload.nsi
nsis_script nsis-many.exe 'C:\PeerBench\nsis-many' many/files . >many.nsi
nsis_script nsis-empty.exe 'C:\PeerBench\nsis-empty' >empty.nsi
start=$(now); makensis -V1 payload.nsi >/dev/null; makensis_s=$(echo "$(now) - $start" | bc)
makensis -V1 many.nsi >/dev/null
makensis -V1 empty.nsi >/dev/null

# Dialog scripts: the installation into C:\PeerBench\DIR and the uninstall.
install_dlg() {  # DIR
  cat <<EOF
wait Vornel Setup
click 1008
gone
wait Installation Options
set 1000 C:\\\\PeerBench\\\\$1
click 1008
wait Vornel Setup
click 1
clock start
gone
wait Vornel Setup
clock end
click 1
exit 1
EOF
}
cat >uninstall.dlg <<'EOF'
wait Uninstall question
click 6
clock start
gone
wait Uninstall Message 
clock end
click 1
exit 1
EOF
# Seconds between dlgdrive's "start" and "end" lines on stdin.
clock_span() { tr -d '\r' | awk '$1 == "start" { s = $2 } $1 == "end" { e = $2 } END { printf "%.3f", e - s }'; }

ours_install() {  # NAME DIR -> seconds
  rm -rf "$prefix_c/PeerBench/$2"
  mkdir -p "$prefix_c/PeerBench"
  install_dlg "$2" >"install-$2.dlg"
  "$run" "$bin/dlgdrive.exe" --timeout 600000 --dir "$(winpath "$work/dist-$1")" \
      --script "$(winpath "$work/install-$2.dlg")" -- "$(winpath "$work/dist-$1/setup.exe")" | clock_span
}
ours_uninstall() {  # DIR -> seconds
  "$run" "$bin/dlgdrive.exe" --timeout 600000 --dir "C:\\PeerBench\\$1" \
      --script "$(winpath "$work/uninstall.dlg")" -- \
      "C:\\PeerBench\\$1\\drevok.exe" "C:\\PeerBench\\$1\\uninst.log" | clock_span
}
nsis_install() {  # EXE DIR -> seconds
  rm -rf "$prefix_c/PeerBench/$2"
  local start
  start=$(now)
  "$run" "$(winpath "$work/$1")" /S "/D=C:\\PeerBench\\$2"
  echo "$(now) - $start" | bc
}
nsis_uninstall() {  # DIR -> seconds
  local start
  start=$(now)
  "$run" "C:\\PeerBench\\$1\\Uninstall.exe" /S "_?=C:\\PeerBench\\$1"
  echo "$(now) - $start" | bc
}
# Both sides must have installed every file, byte for byte.
check_installed() {  # DIR SOURCE [SUBFOLDER SOURCE]
  local dir=$prefix_c/PeerBench/$1 f
  for f in "$2"/*; do cmp -s "$f" "$dir/${f##*/}" || { echo "$1: ${f##*/} not installed as it is" >&2; exit 1; }; done
  if [ $# -ge 4 ]; then diff -rq "$4" "$dir/$3" >/dev/null || { echo "$1: $3 not installed as it is" >&2; exit 1; }; fi
}

ours_install_s=$(ours_install payload ours)
check_installed ours payload/app bin payload/bin
nsis_install_s=$(nsis_install nsis-payload.exe nsis)
check_installed nsis payload/app bin payload/bin
ours_uninstall_s=$(ours_uninstall ours)
nsis_uninstall_s=$(nsis_uninstall nsis)
for d in ours nsis; do
  left=$( (find "$prefix_c/PeerBench/$d" -type f 2>/dev/null || true) | wc -l)
  [ "$left" -eq 0 ] || echo "note: $d left $left files after its uninstall" >&2
done

start=$(now); tar c -C payload app bin | gzip -6 >payload.tar.gz; gzip_s=$(echo "$(now) - $start" | bc)
rm -f zek.dat
ours_build_s=$("$run" "$bench_bin/builder_bench.exe" --payload "$(winpath "$work/payload/app")" \
    "$(winpath "$work/payload/bin")" "$(winpath "$work/payload.zek")" "$(winpath "$work/zek.dat")" | tr -d '\r')
dat_bytes=$(stat -c %s zek.dat)
gzip_bytes=$(stat -c %s payload.tar.gz)
shipped_bytes=$(( $(stat -c %s "$shipped/setup.exe") + $(stat -c %s "$shipped/drevok.exe") + $(stat -c %s "$shipped/wendlo.dll") ))
nsis_empty_bytes=$(stat -c %s nsis-empty.exe)

ours_many_s=$(ours_install many many)
check_installed many many/files
nsis_many_s=$(nsis_install nsis-many.exe nsis-many)
check_installed nsis-many many/files
rm -rf "$prefix_c/PeerBench"

row() {  # WHAT OURS THEIRS PEER UNIT GOAL
  local r
  r=$(ratio "$2" "$3")
  printf '%-22s %10s %10s %-22s %7.2fx  goal <= %sx  %s\n' "$1" "$2$5" "$3$5" "$4" "$r" "$6" \
    "$(echo "$r <= $6" | bc -l | sed 's/1/met/; s/0/MISSED/')"
}
mb() { echo "scale=2; $1 / 1048576" | bc; }
kb() { echo "$(( $1 / 1024 ))"; }
printf '%-22s %10s %10s %-22s %8s\n' what ours theirs peer ratio
row "install (payload)" "$ours_install_s" "$nsis_install_s" "NSIS /S" s 0.7
row "uninstall (payload)" "$ours_uninstall_s" "$nsis_uninstall_s" "NSIS uninstaller /S" s 0.8
row "build (Zek2Dat)" "$ours_build_s" "$gzip_s" "tar | gzip -6" s 1.1
row "build (Zek2Dat)" "$ours_build_s" "$makensis_s" "makensis (zlib)" s 1.0
row "setup.dat size" "$(mb "$dat_bytes")" "$(mb "$gzip_bytes")" "tar | gzip -6" MB 1.0
# The goal is 150 KB for the three together, shown as a ratio to the peer.
row "shipped programs" "$(kb "$shipped_bytes")" "$(kb "$nsis_empty_bytes")" "NSIS, empty payload" KB \
  "$(echo "scale=2; 153600 / $nsis_empty_bytes" | bc)"
row "install (10,000 files)" "$ours_many_s" "$nsis_many_s" "NSIS /S" s 1.0
echo "shipped: setup.exe + drevok.exe + wendlo.dll = $shipped_bytes bytes (budget 153600)"
