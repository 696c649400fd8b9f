#!/usr/bin/env bash
# A signed build with a throw-away certificate: zekmake signs setup.exe,
# wendlo.dll, the drevok.exe and wendlo.dll it packs into setup.dat, and the
# one file; each verifies against that certificate. Without the password's
# variable, or without the tool, the description is refused on its line.
#
#   signed_build.sh WINE_RUN BIN_DIR EXAMPLE_DIR WORK_DIR
set -euo pipefail
run=$1 bin=$2 example=$3 work=$4
fail() { echo "FAILED: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Suite Test Vendor" -addext extendedKeyUsage=codeSigning 2>/dev/null
# A password with a blank and a quote: it must reach the tool unchanged.
password="it's secret"
openssl pkcs12 -export -inkey key.pem -in cert.pem -out vendor.p12 -passout "pass:$password"
cp -r "$example" hello
cat >>hello/hello.toml <<'EOF'

[signing]
certificate = "../vendor.p12"
password_variable = "SUITE_TEST_PASSWORD"
description = "Hello's installer"
EOF
table=$(grep -n '^\[signing\]' hello/hello.toml | cut -d: -f1)

unset SUITE_TEST_PASSWORD
if out=$("$run" "$bin/zekmake.exe" hello/hello.toml out 2>&1); then fail "built without the password"; fi
grep -qF "hello.toml:$((table + 2)): error: [signing]: the environment variable SUITE_TEST_PASSWORD" \
  <<<"$out" || fail "no mistake for the password: $out"
export SUITE_TEST_PASSWORD=$password
if out=$(ZEKMAKE_SIGNTOOL=/nowhere/osslsigncode "$run" "$bin/zekmake.exe" hello/hello.toml out 2>&1); then
  fail "built without the tool"
fi
grep -qF "hello.toml:$table: error: [signing]: the signing tool osslsigncode is not installed" \
  <<<"$out" || fail "no mistake for the tool: $out"
[ ! -e out ] || fail "a refused description wrote out"

"$run" "$bin/zekmake.exe" hello/hello.toml out >/dev/null
"$run" "$bin/zekmake.exe" --single-file hello/hello.toml Hello.exe >/dev/null
# The files of the uninstall group, as setup.dat holds them.
python3 - out/setup.dat <<'EOF'
import gzip, struct, sys
body = gzip.open(sys.argv[1]).read()
at = struct.unpack_from('<I', body, 156)[0]
for _ in range(body[137]):
    count, total = struct.unpack_from('<II', body, at + 256)
    data = at + 264 + 264 * count
    for i in range(count):
        entry = at + 264 + 264 * i
        name = body[entry:entry + 260].split(b'\0')[0].decode()
        size = struct.unpack_from('<I', body, entry + 260)[0]
        if name in ('drevok.exe', 'wendlo.dll'):
            open('packed-' + name, 'wb').write(body[data:data + size])
        data += size
    at += 264 + 264 * count + total
EOF
for file in out/setup.exe out/wendlo.dll packed-drevok.exe packed-wendlo.dll Hello.exe; do
  osslsigncode verify -CAfile cert.pem -in "$file" >verify.txt 2>&1 || fail "$file: $(cat verify.txt)"
  grep -q "Hello's installer" verify.txt || fail "$file lacks the description: $(cat verify.txt)"
done
# zlib.dll is not ours to sign.
cmp -s "$bin/zlib.dll" out/zlib.dll || fail "zlib.dll changed"
echo "signed and verified: setup.exe wendlo.dll drevok.exe (packed) wendlo.dll (packed) Hello.exe"
