#!/usr/bin/env bash
# Makes the sandbox's certificate authority and the certificates it signs: the chat server's (its
# XMPP domain), the web hosts' (127.0.0.1 and localhost) and one for another name, which the web
# hosts can be switched to so that a client sees a certificate that does not match. Run once; the
# results are committed (valid for 100 years). The authority's key is not kept.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
days=36500

openssl req -x509 -newkey rsa:2048 -nodes -days "$days" -subj "/CN=Tovrin Sandbox Authority" \
    -keyout "$work/authority.key" -out authority.pem

certificate() {
    local name="$1" subject="$2" names="$3"
    openssl req -newkey rsa:2048 -nodes -subj "/CN=$subject" -keyout "$name.key" -out "$work/$name.csr"
    printf 'subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$names" >"$work/$name.ext"
    openssl x509 -req -in "$work/$name.csr" -CA authority.pem -CAkey "$work/authority.key" \
        -CAcreateserial -CAserial "$work/authority.srl" -days "$days" -extfile "$work/$name.ext" -out "$name.pem"
}

certificate chat tovrin.test "DNS:tovrin.test"
certificate web localhost "DNS:localhost,IP:127.0.0.1"
certificate otherhost other.invalid "DNS:other.invalid"
