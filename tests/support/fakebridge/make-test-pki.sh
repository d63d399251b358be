#!/usr/bin/env bash
# Makes the throw-away PKI that the TLS fake bridge and the trust tests use:
#   make-test-pki.sh <openssl> <output directory>
# Every run makes fresh keys; nothing here is ever trusted outside the tests.
set -euo pipefail

openssl=$1
out=$2
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Long enough that no test run ever meets an expired certificate.
days=36500

new_key() {
    "$openssl" genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$out/$1.key" 2>/dev/null
}

make_ca() {
    local name=$1 subject=$2
    new_key "$name"
    "$openssl" req -x509 -new -key "$out/$name.key" -out "$out/$name.pem" -days "$days" -subj "/CN=$subject" \
        -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign"
}

leaf_extensions() {
    local san=${1:-}
    echo "basicConstraints=critical,CA:FALSE"
    echo "keyUsage=critical,digitalSignature"
    echo "extendedKeyUsage=serverAuth"
    echo "subjectKeyIdentifier=hash"
    echo "authorityKeyIdentifier=keyid"
    if [[ -n $san ]]; then echo "subjectAltName=$san"; fi
}

# make_leaf <name> <subject> <issuer> [subjectAltName]
# Bridges carry no subjectAltName; the leaves that do exist to reach the checks that run
# after a handshake which raised no error at all.
make_leaf() {
    local name=$1 subject=$2 issuer=$3 san=${4:-}
    new_key "$name"
    "$openssl" req -new -key "$out/$name.key" -out "$work/$name.csr" -subj "$subject"
    leaf_extensions "$san" >"$work/$name.ext"
    "$openssl" x509 -req -in "$work/$name.csr" -CA "$out/$issuer.pem" -CAkey "$out/$issuer.key" \
        -set_serial "0x$("$openssl" rand -hex 8)" -days "$days" -extfile "$work/$name.ext" \
        -out "$out/$name.pem" 2>/dev/null
}

# make_dated_leaf <name> <subject> <not before> <not after>: a leaf from the test CA that is
# valid only between the two dates (YYYYMMDDHHMMSSZ).
make_dated_leaf() {
    local name=$1 subject=$2 start=$3 end=$4
    new_key "$name"
    "$openssl" req -new -key "$out/$name.key" -out "$work/$name.csr" -subj "$subject"
    leaf_extensions >"$work/$name.ext"
    : >"$work/$name.index"
    cat >"$work/$name.cnf" <<CONFIG
[ca]
default_ca = dated
[dated]
database = $work/$name.index
new_certs_dir = $work
default_md = sha256
policy = anything
unique_subject = no
serial = $work/$name.serial
[anything]
commonName = supplied
CONFIG
    "$openssl" ca -batch -config "$work/$name.cnf" -cert "$out/test-ca.pem" -keyfile "$out/test-ca.key" \
        -in "$work/$name.csr" -out "$out/$name.pem" -startdate "$start" -enddate "$end" \
        -extfile "$work/$name.ext" -rand_serial -notext 2>/dev/null
}

# make_self_signed_leaf <name> <subject>: a bridge leaf that vouches for itself.
make_self_signed_leaf() {
    local name=$1 subject=$2
    new_key "$name"
    "$openssl" req -x509 -new -key "$out/$name.key" -out "$out/$name.pem" -days "$days" -subj "$subject" \
        -addext "basicConstraints=critical,CA:FALSE" -addext "keyUsage=critical,digitalSignature" \
        -addext "extendedKeyUsage=serverAuth"
}

make_ca test-ca "vantora Test Bridge CA"
make_ca untrusted-ca "vantora Untrusted CA"

make_leaf bridge-123456 /CN=001788fffe123456 test-ca
make_leaf bridge-123456-uppercase /CN=001788FFFE123456 test-ca
make_leaf bridge-654321 /CN=001788fffe654321 test-ca
make_leaf hostname /CN=bridge.local test-ca
make_leaf fifteen-character-id /CN=001788fffe12345 test-ca
make_leaf untrusted-bridge-123456 /CN=001788fffe123456 untrusted-ca
make_leaf ip-san-hostname /CN=bridge.local test-ca "IP:127.0.0.1,IP:::1"
make_leaf ip-san-bridge-654321 /CN=001788fffe654321 test-ca "IP:127.0.0.1,IP:::1"
make_leaf two-common-names /CN=001788fffe123456/CN=001788fffe654321 test-ca
make_leaf issued-by-leaf-123456 /CN=001788fffe123456 bridge-654321
make_self_signed_leaf self-signed-123456 /CN=001788fffe123456
make_dated_leaf expired-123456 /CN=001788fffe123456 20000101000000Z 20010101000000Z
make_dated_leaf not-yet-valid-123456 /CN=001788fffe123456 21000101000000Z 21010101000000Z
make_leaf untrusted-ip-san-hostname /CN=bridge.local untrusted-ca "IP:127.0.0.1,IP:::1"

# Root files in the shapes a hand-edited bundle takes.
base64_of() { sed '/-----/d' "$out/$1.pem" | tr -d '\n'; }
begin="-----BEGIN CERTIFICATE-----"
end="-----END CERTIFICATE-----"

{
    echo "Bridge roots, collected by hand."
    echo "Subject: vantora Test Bridge CA"
    echo "$begin"
    echo
    base64_of test-ca | fold -w 37
    echo
    echo
    echo "$end"
    echo "some words between the blocks"
    echo "$begin"
    base64_of untrusted-ca | fold -w 64 | sed 's/^/  /; s/$/ \t/'
    echo "$end"
    echo "trailing notes"
} >"$out/roots-with-noise.pem"

broken_block() {
    echo "$begin"
    base64_of test-ca | cut -c 1-120 | fold -w 64
    echo "$end"
}

broken_block >"$out/broken-block-only.pem"
{
    broken_block
    cat "$out/untrusted-ca.pem"
} >"$out/broken-and-good-blocks.pem"
printf 'This file lists no certificate at all.\nBEGIN CERTIFICATE is not a marker.\n' >"$out/text-only.pem"
{
    printf 'Caf\xe9 notes in Latin-1\n'
    cat "$out/test-ca.pem"
} >"$out/invalid-utf8.pem"
