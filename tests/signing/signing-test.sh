#!/bin/sh
# signing-test.sh CASE SOURCE_DIR WORK_DIR
# The build's signing step, exercised through real product-only builds of the
# source tree below WORK_DIR, with the throw-away certificate in WORK_DIR/cert.
#   unsigned-build  fresh build without a certificate: no signature, no signed copy
#   signed-build    the same build given the PKCS#12 file: signed copy, exe untouched
#   verify          the signed copy verifies with the test CA as trust anchor
#   tampered        one byte of payload item 1 changed: verification fails
#   pem-build       fresh build given the PEM certificate and key: verifies
#   timestamp       a named time-stamp server that does not answer fails the build
#   switched-off    the PEM build without a certificate again: the signed copy goes
set -eu
case_name=$1
src=$2
work=$3
cert=$work/cert
product=$work/product
pem=$work/pem
# The developer's own signing settings must not leak into these builds.
unset TESSALY_SIGN_PKCS12 TESSALY_SIGN_CERT TESSALY_SIGN_KEY TESSALY_SIGN_PASSWORD_FILE \
  TESSALY_SIGN_TIMESTAMP_URL TESSALY_SIGN_PASSWORD

fail() { echo "FAIL: $*" >&2; exit 1; }

# configure BUILD_DIR PKCS12 CERT KEY PASSWORD_FILE TIMESTAMP_URL (empty: not set)
configure() {
  cmake -S "$src" -B "$1" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" -DTESSALY_TESTS=OFF \
    -DTESSALY_SIGN_PKCS12="$2" -DTESSALY_SIGN_CERT="$3" -DTESSALY_SIGN_KEY="$4" \
    -DTESSALY_SIGN_PASSWORD_FILE="$5" -DTESSALY_SIGN_TIMESTAMP_URL="$6" >/dev/null
}

build() { cmake --build "$1" -j2; }

unsigned_exe() { echo "$1/startup/TessalySetup.exe"; }
signed_exe() { echo "$1/startup/signed/TessalySetup.exe"; }

# Size of the PE security directory, where an Authenticode signature lives.
security_size() {
  i686-w64-mingw32-objdump -p "$1" | awk '/Security Directory/ { print $4 }'
}

expect_unsigned() {
  [ -f "$(unsigned_exe "$1")" ] || fail "no $(unsigned_exe "$1")"
  [ "$(security_size "$(unsigned_exe "$1")")" = 00000000 ] || fail "the unsigned exe has a security directory"
  [ ! -e "$1/startup/signed" ] || fail "a build without a certificate has $1/startup/signed"
}

expect_signed() {
  [ -f "$(signed_exe "$1")" ] || fail "no signed copy in $1"
  [ "$(security_size "$(signed_exe "$1")")" != 00000000 ] || fail "the signed copy has no security directory"
}

hash_of() { sha256sum "$1" | cut -d' ' -f1; }

# Verifies EXE against the test CA; prints osslsigncode's report.
verify() { osslsigncode verify -CAfile "$cert/ca.pem" -in "$1" 2>&1; }

expect_verified() {
  out=$(verify "$1") || { echo "$out"; fail "$1 does not verify"; }
  echo "$out"
  for line in "Message digest algorithm  : SHA256" "Text description: Tessaly for MS Excel V2.6 Setup" \
    "URL description: https://www.tarnwick.example/" "Signature verification: ok"; do
    echo "$out" | grep -qF "$line" || fail "the verification report lacks '$line'"
  done
}

# Offset of the one place where the first 4 KiB of NEEDLE_FILE (headers and all,
# so that a payload item that is itself an exe is told from ours) occur in FILE.
# In od's hex words each byte is " xx", so a match starts on a byte boundary.
offset_of() {
  head -c 4096 "$1" | od -An -v -tx1 | tr -s ' \n' '  ' >"$work/needle"
  matches=$(od -An -v -tx1 "$2" | tr -s ' \n' '  ' | grep -boF -f "$work/needle" | cut -d: -f1)
  [ "$(echo "$matches" | grep -c .)" -eq 1 ] || fail "the first bytes of $1 are not in $2 exactly once"
  echo $((matches / 3))
}

byte_at() { od -An -tu1 -j "$2" -N1 "$1" | tr -d ' '; }

case "$case_name" in
unsigned-build)
  rm -rf "$product"
  configure "$product" "" "" "" "" ""
  build "$product"
  expect_unsigned "$product"
  hash_of "$(unsigned_exe "$product")" >"$work/unsigned.sha256"
  ;;
signed-build)
  configure "$product" "$cert/signer.p12" "" "" "" ""
  password=$(cat "$cert/password")
  TESSALY_SIGN_PASSWORD=$password cmake --build "$product" -j2 --verbose >"$work/signed-build.log" 2>&1 ||
    { cat "$work/signed-build.log"; fail "the signed build failed"; }
  grep -q "sign-exe.cmake" "$work/signed-build.log" || fail "the build log shows no signing step"
  expect_signed "$product"
  [ "$(hash_of "$(unsigned_exe "$product")")" = "$(cat "$work/unsigned.sha256")" ] ||
    fail "signing changed the unsigned exe"
  ! grep -rqF -- "$password" "$work/signed-build.log" "$product" || fail "the password was left in the build log or folder"
  ;;
verify)
  expect_verified "$(signed_exe "$product")"
  ;;
tampered)
  exe=$work/tampered.exe
  cp "$(signed_exe "$product")" "$exe"
  item=$src/resources/payload/TYForMsExcel.plgn
  offset=$(offset_of "$item" "$exe")
  verify "$exe" >/dev/null || fail "the copy does not verify before the change"
  old=$(byte_at "$exe" "$offset")
  printf "\\$(printf '%03o' $((old ^ 1)))" | dd of="$exe" bs=1 seek="$offset" conv=notrunc 2>/dev/null
  [ "$(byte_at "$exe" "$offset")" -eq $((old ^ 1)) ] || fail "the byte at $offset did not change"
  echo "payload item 1 starts at byte $offset; changed it from $old to $((old ^ 1))"
  if out=$(verify "$exe"); then
    echo "$out"
    fail "a changed payload still verifies"
  fi
  echo "$out"
  echo "$out" | grep -q "Calculated message digest.*MISMATCH" || fail "the report names no digest mismatch"
  ;;
pem-build)
  rm -rf "$pem"
  configure "$pem" "" "$cert/signer.pem" "$cert/signer.key" "$cert/password" ""
  build "$pem"
  expect_signed "$pem"
  hash_of "$(unsigned_exe "$pem")" >"$work/pem-unsigned.sha256"
  expect_verified "$(signed_exe "$pem")"
  ;;
timestamp)
  configure "$pem" "" "$cert/signer.pem" "$cert/signer.key" "$cert/password" "http://127.0.0.1:9/"
  if build "$pem"; then fail "signing succeeded without the named time-stamp server"; fi
  [ ! -e "$(signed_exe "$pem")" ] || fail "a signed copy without the time stamp was left"
  ;;
switched-off)
  configure "$pem" "" "" "" "" ""
  build "$pem"
  expect_unsigned "$pem"
  [ "$(hash_of "$(unsigned_exe "$pem")")" = "$(cat "$work/pem-unsigned.sha256")" ] ||
    fail "switching signing off changed the unsigned exe"
  ;;
*)
  fail "unknown case $case_name"
  ;;
esac
