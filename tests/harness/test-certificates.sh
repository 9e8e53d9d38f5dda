#!/usr/bin/env bash
# A throw-away test authority and the certificates that the signing tests use,
# made with openssl in a folder of the build tree (never committed). Made once;
# made anew when the signer's certificate ends within a day.
#   test-certificates.sh DIR
# In DIR:
#   authority.pem  the test authority (osslsigncode verify -CAfile authority.pem)
#   password       the password of every .p12 here, random
#   signer.p12     code signing, valid now (the test command ships with it)
#   server.p12     server authentication only: no code-signing use
#   expired.p12    code signing, ended in 2020
#   future.p12     code signing, valid only from 2099
#   encipher.p12   code signing, but a key usage without digital signatures
#   timestamp.cnf  openssl ts -reply's configuration: a time-stamp authority of
#                  the test authority (tests/harness/timestamp-server.py)
set -euo pipefail
dir=$(realpath -m "$1")
if [ -f "$dir/signer.pem" ] && openssl x509 -in "$dir/signer.pem" -noout -checkend 86400 >/dev/null; then
  exit 0
fi
mkdir -p "$(dirname "$dir")"
work=$(mktemp -d "$dir.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

cat >ca.cnf <<'EOF'
[ ca ]
default_ca = test_authority
[ test_authority ]
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = any_name
unique_subject = no
[ any_name ]
commonName = supplied
[ signer ]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
[ server ]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
[ encipher ]
basicConstraints = critical, CA:FALSE
keyUsage = critical, keyEncipherment
extendedKeyUsage = codeSigning
[ timestamper ]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = critical, timeStamping
EOF
: >index.txt
echo 1000 >serial
openssl rand -hex 16 >password
openssl req -x509 -newkey rsa:2048 -nodes -keyout authority.key -out authority.pem -days 60 \
  -subj "/CN=Halvoran Throw-away Test Authority" -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null

# NAME, extensions section, start and end (openssl ca's YYYYMMDDHHMMSSZ).
certificate() {
  openssl req -new -newkey rsa:2048 -nodes -keyout "$1.key" -out "$1.csr" \
    -subj "/CN=Halvoran Test Signer $1 (throw-away)" 2>/dev/null
  openssl ca -batch -notext -config ca.cnf -cert authority.pem -keyfile authority.key -in "$1.csr" \
    -out "$1.pem" -extensions "$2" -startdate "$3" -enddate "$4" 2>/dev/null
  openssl pkcs12 -export -in "$1.pem" -inkey "$1.key" -certfile authority.pem -name "$1" \
    -passout file:password -out "$1.p12"
}
yesterday=$(date -u -d '-1 day' +%Y%m%d%H%M%SZ) later=$(date -u -d '+30 days' +%Y%m%d%H%M%SZ)
certificate signer signer "$yesterday" "$later"
certificate server server "$yesterday" "$later"
certificate encipher encipher "$yesterday" "$later"
certificate expired signer 20200101000000Z 20200201000000Z
certificate future signer 20990101000000Z 20990201000000Z
certificate timestamper timestamper "$yesterday" "$later"

echo 01 >timestamp-serial
cat >timestamp.cnf <<EOF
[ tsa ]
default_tsa = test_tsa
[ test_tsa ]
serial = $dir/timestamp-serial
signer_cert = $dir/timestamper.pem
signer_key = $dir/timestamper.key
certs = $dir/authority.pem
signer_digest = sha256
default_policy = 1.3.6.1.4.1.55555.1
digests = sha256, sha384, sha512
ess_cert_id_alg = sha256
EOF

rm -rf "$dir"
mkdir "$dir"
mv authority.pem password signer.pem ./*.p12 timestamper.pem timestamper.key timestamp-serial \
  timestamp.cnf "$dir/"
