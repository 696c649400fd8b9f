#!/usr/bin/env bash
# The Linux zekmake, run as a vendor's CI runs it.
#
#   native_zekmake_test.sh cli ZEKMAKE BIN WORK
#     Without Wine: a description with a mistake is told in the FILE:LINE
#     form and nothing is written; a good one builds with nothing on a
#     standard error that is no terminal, with a progress line on one; a
#     device name among a group's files is a mistake; Ctrl-C stops a build
#     and leaves neither the output folder nor a temporary file.
#   native_zekmake_test.sh same-bytes ZEKMAKE BIN WORK WINE_RUN EXAMPLE KEEP
#     The example (EXAMPLE/hello.toml) and a description that uses every
#     feature, built by ZEKMAKE and by BIN/zekmake.exe under WINE_RUN: their
#     setup.dat and setup.inf must be the same bytes. The natively built
#     example package is left in KEEP for the end-to-end test that installs it.
set -euo pipefail
mode=$1 zekmake=$2 bin=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/tmp"
export TMPDIR=$work/tmp

# every_feature.toml (the description zekmake_e2e_test decodes) with its
# files, and group files whose order differs between byte order, case-blind
# order and a directory's own order. The licence is UTF-8 (converted), the
# readme already in the code page (packed as it is).
make_every_feature() {
  local d=$1
  mkdir -p "$d/bin" "$d/help" "$d/shared" "$d/setup" "$d/after" "$d/docs"
  cp "$here/every_feature.toml" "$d/every.toml"
  head -c 70000 /dev/urandom >"$d/bin/app.exe"
  : >"$d/bin/empty.txt"
  for name in guide.txt b.txt A.txt _x.txt Zed.dat a1.txt éclair.txt µ.txt ÿ.txt; do
    printf '%s' "$name" >"$d/help/$name"
  done
  head -c 5000 /dev/urandom >"$d/shared/lib.dll"
  echo check >"$d/setup/check.exe"
  echo '[data]' >"$d/setup/data.ini"
  echo late >"$d/after/late.exe"
  echo early >"$d/after/early.exe"
  printf '\xef\xbb\xbfLicence \xc3\xa9t\xc3\xa9 \xe2\x82\xac\n' >"$d/licence.txt"
  printf 'Readme \xe9t\xe9\r\n' >"$d/docs/readme.txt"
}

# Names the first differing byte of two files, counted from 0.
same_bytes() {
  local what=$1 a=$2 b=$3
  [ -f "$a" ] || fail "$what: $a is missing"
  [ -f "$b" ] || fail "$what: $b is missing"
  if ! cmp -s "$a" "$b"; then
    local where
    where=$(cmp "$a" "$b" 2>&1 | head -1)
    local byte
    byte=$(sed -nE 's/.*(byte|char) ([0-9]+).*/\2/p' <<<"$where")
    [ -n "$byte" ] && where="first difference at offset $((byte - 1)) (native $(xxd -s $((byte - 1)) -l 1 -p "$a"), Wine $(xxd -s $((byte - 1)) -l 1 -p "$b"))"
    fail "$what differs between the native and the Wine build: $where; sizes $(stat -c %s "$a") and $(stat -c %s "$b")"
  fi
  echo "same: $what ($(stat -c %s "$a") bytes)"
}

case $mode in
cli)
  d=$work/project
  make_every_feature "$d"
  # A mistake: told as FILE:LINE: error, exit 1, nothing written.
  sed 's/^color = "#FF0000"/color = "red"/' "$d/every.toml" >"$d/wrong.toml"
  if (cd "$d" && "$zekmake" --bin "$bin" wrong.toml out 2>"$work/err" >/dev/null); then
    fail "a wrong colour was accepted"
  fi
  grep -q '^wrong.toml:13: error: \[background\]: "color" "red" is no colour' "$work/err" || { cat "$work/err"; fail "mistake not told"; }
  [ ! -e "$d/out" ] || fail "a wrong description wrote out"
  # Signing asked of the Linux zekmake, which does not sign: refused, not built unsigned.
  { cat "$d/every.toml"; printf '[signing]\ncertificate = "every.toml"\npassword_variable = "NO_SUCH_VARIABLE"\n'; } >"$d/signed.toml"
  if (cd "$d" && "$zekmake" --bin "$bin" signed.toml out 2>"$work/err" >/dev/null); then
    fail "a description with [signing] was built unsigned"
  fi
  grep -q '^signed.toml:[0-9]*: error: \[signing\]: the Linux zekmake does not sign programs' "$work/err" || { cat "$work/err"; fail "signing refusal not told"; }
  [ ! -e "$d/out" ] || fail "a refused signing wrote out"

  # A good one, standard error no terminal: no progress line, no word.
  (cd "$d" && "$zekmake" --bin "$bin" every.toml out 2>"$work/err" >"$work/out") || { cat "$work/err"; fail "build failed"; }
  [ ! -s "$work/err" ] || { cat "$work/err"; fail "standard error not empty"; }
  grep -q 'is ready to ship' "$work/out" || fail "no report"
  for f in setup.exe setup.dat setup.inf zlib.dll wendlo.dll; do [ -f "$d/out/$f" ] || fail "$f missing"; done
  [ -z "$(ls -A "$TMPDIR")" ] || fail "temporary files left: $(ls "$TMPDIR")"

  # On a terminal the progress line shows, and is cleared again.
  script -qec "cd '$d' && '$zekmake' --bin '$bin' every.toml out3 >/dev/null" /dev/null >"$work/tty" ||
    fail "build on a terminal failed"
  grep -q 'Compressing temp file to DAT file' "$work/tty" || fail "no progress line on a terminal"

  # A group file that Windows cannot hold is a mistake naming the file.
  printf x >"$d/help/con.txt"
  if (cd "$d" && "$zekmake" --bin "$bin" every.toml out2 2>"$work/err" >/dev/null); then
    fail "a device name was packed"
  fi
  grep -q '"con.txt".*cannot be installed under its name' "$work/err" || { cat "$work/err"; fail "device name not told"; }
  rm "$d/help/con.txt"

  # Ctrl-C: the build stops, cleans up and writes nothing.
  mkdir -p "$work/big/data"
  truncate -s 600M "$work/big/data/zeros.bin"
  printf '[application]\nname = "Big"\n[[group]]\nname = "Data"\nsource = "data"\n' >"$work/big/big.toml"
  (cd "$work/big" && exec "$zekmake" --bin "$bin" big.toml out 2>"$work/err" >/dev/null) &
  pid=$!
  sleep 0.5
  kill -INT $pid
  status=0
  wait $pid || status=$?
  [ $status = 1 ] || fail "an interrupted build ended with $status"
  grep -q 'cancelled' "$work/err" || { cat "$work/err"; fail "cancel not told"; }
  [ ! -e "$work/big/out" ] || fail "an interrupted build wrote out"
  [ -z "$(ls -A "$TMPDIR")" ] || fail "an interrupted build left: $(ls "$TMPDIR")"
  echo "native zekmake: mistakes, quiet build, device names and Ctrl-C as expected"
  ;;
same-bytes)
  wine_run=$5 example=$6 keep=$7
  winpath() { echo "Z:${1//\//\\}"; }
  cp -r "$example" "$work/hello"
  make_every_feature "$work/every"
  for desc in hello/hello.toml every/every.toml; do
    dir=$work/$(dirname "$desc")
    "$zekmake" --bin "$bin" "$work/$desc" "$dir/native" >/dev/null || fail "native build of $desc"
    "$wine_run" "$bin/zekmake.exe" "$(winpath "$work/$desc")" "$(winpath "$dir/wine")" >/dev/null ||
      fail "Wine build of $desc"
    for f in setup.dat setup.inf; do same_bytes "$desc: $f" "$dir/native/$f" "$dir/wine/$f"; done
  done
  rm -rf "$keep"
  cp -r "$work/hello/native" "$keep"
  ;;
*)
  fail "unknown mode $mode"
  ;;
esac
