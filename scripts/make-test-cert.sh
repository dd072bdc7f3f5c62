#!/bin/sh
# Makes a throw-away certificate authority and a code-signing certificate it
# issued, for trying the signing step and for the tests; never for a release.
#   sh scripts/make-test-cert.sh OUTDIR
# OUTDIR then holds:
#   ca.pem        the test CA's certificate: the trust anchor for verifying
#   signer.p12    certificate and key as PKCS#12, protected by the password
#   signer.pem    the certificate as PEM
#   signer.key    its key as PEM, encrypted with the same password
#   password      the password (random, no newline)
# The CA's own key is deleted once the certificate is issued, so nothing more
# can ever be signed by that CA.
set -eu
out=${1:?usage: make-test-cert.sh OUTDIR}
mkdir -p "$out"
umask 077
cd "$out"
rm -f ca.pem ca.key signer.p12 signer.pem signer.key signer.csr signer.ext password
openssl rand -hex 16 | tr -d '\n' >password

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 30 \
  -subj "/O=Tarnwick test/CN=Tessaly throw-away test CA" \
  -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null

cat >signer.ext <<'EOF'
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature
extendedKeyUsage=codeSigning
subjectKeyIdentifier=hash
authorityKeyIdentifier=keyid
EOF
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr \
  -subj "/O=Tarnwick test/CN=Tarnwick (test signing only)" 2>/dev/null
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -set_serial "0x$(openssl rand -hex 8)" \
  -days 30 -extfile signer.ext -out signer.pem 2>/dev/null

openssl pkcs12 -export -in signer.pem -inkey signer.key -name "Tarnwick test signing" \
  -passout file:password -out signer.p12
openssl pkey -in signer.key -aes256 -passout file:password -out signer.key.enc
mv signer.key.enc signer.key
rm -f ca.key signer.csr signer.ext
chmod 644 ca.pem signer.pem
echo "test CA and code-signing certificate in $out"
