# Sourced by the benchmarks that share the peer payload (bench/peer.sh,
# bench/native.sh), in their work folder: the payload, its descriptions and
# the table row.

ratio() { echo "scale=3; $1 / $2" | bc -l; }

# payload/ (200 text files of about 200 KB in app/, 5 binaries of about
# 2 MB in bin/: 51.5 MB), many/files (10,000 small files) and their
# descriptions payload.toml and many.toml; the files are made once.
make_payload() {
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

# The descriptions of both.
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
}

row() {  # WHAT OURS THEIRS PEER UNIT GOAL
  local r
  r=$(ratio "$2" "$3")
  printf '%-22s %10s %10s %-22s %7.2fx  goal <= %sx  %s\n' "$1" "$2$5" "$3$5" "$4" "$r" "$6" \
    "$(echo "$r <= $6" | bc -l | sed 's/1/met/; s/0/MISSED/')"
}
