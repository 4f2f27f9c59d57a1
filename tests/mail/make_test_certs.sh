#!/bin/sh
# Makes a test CA and server certificates for the mail tests into $1.
# Kept across runs, so the CA added to the test prefix stays the same one.
set -eu
out="$1"
[ -f "$out/.complete" ] && exit 0
mkdir -p "$out"
cd "$out"
days=3650

openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days $days \
  -subj "/CN=Sopora Mail Test CA" -addext "basicConstraints=critical,CA:TRUE" \
  -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl x509 -in ca.pem -outform DER -out ca.der

# name, subject, subjectAltName (empty: none)
sign() {
  name="$1"; subject="$2"; san="$3"
  openssl req -newkey rsa:2048 -nodes -keyout "$name.key" -out "$name.csr" -subj "$subject" 2>/dev/null
  : > "$name.ext"
  [ -n "$san" ] && echo "subjectAltName=$san" > "$name.ext"
  openssl x509 -req -in "$name.csr" -CA ca.pem -CAkey ca.key -CAcreateserial -days $days \
    -extfile "$name.ext" -out "$name.pem" 2>/dev/null
}
sign good "/CN=localhost" "DNS:localhost,IP:127.0.0.1"
sign wrongname "/CN=mail.example.test" "DNS:mail.example.test"
sign cnonly "/CN=localhost" ""
sign mixed "/CN=localhost" "DNS:mail.example.test"
sign wildcard "/CN=wild" "DNS:*.example.test"

openssl req -x509 -newkey rsa:2048 -nodes -keyout selfsigned.key -out selfsigned.pem -days $days \
  -subj "/CN=localhost" -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" 2>/dev/null

# Expired: signed by the test CA with a validity that ended in 2021.
mkdir -p ca-db
: > ca-db/index.txt
echo 1000 > ca-db/serial
cat > ca-db/ca.cnf <<CNF
[ca]
default_ca = test
[test]
dir = $out/ca-db
database = \$dir/index.txt
serial = \$dir/serial
new_certs_dir = \$dir
certificate = $out/ca.pem
private_key = $out/ca.key
default_md = sha256
policy = anything
unique_subject = no
copy_extensions = copy
[anything]
commonName = supplied
CNF
openssl req -newkey rsa:2048 -nodes -keyout expired.key -out expired.csr -subj "/CN=localhost" \
  -addext "subjectAltName=DNS:localhost,IP:127.0.0.1" 2>/dev/null
openssl ca -batch -config ca-db/ca.cnf -in expired.csr -out expired.pem \
  -startdate 20200101000000Z -enddate 20210101000000Z 2>/dev/null
touch .complete
