#!/usr/bin/env bash
# With a certificate given, both program files and all four packages are
# signed, each package holding the signed program file, and every one of
# them verifies against that certificate. The certificate is made here and
# thrown away.
set -euo pipefail
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/quennavar-signing-XXXXXX")"
trap 'rm -rf "$work"' EXIT
cd "$work"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -keyout key.pem -out certificate.pem \
  -subj "/CN=Quennavar test signing" -addext "extendedKeyUsage=codeSigning" 2>/dev/null
echo "a password for the test" >password
openssl pkcs12 -export -inkey key.pem -in certificate.pem -out signing.pfx -passout file:password
QUENNAVAR_SIGN_PFX="$work/signing.pfx" QUENNAVAR_SIGN_PASSWORD_FILE="$work/password" \
  "$source_dir/scripts/package" --out "$work/dist" >/dev/null

status=0
verify() {  # FILE WHAT
  if osslsigncode verify -CAfile certificate.pem -in "$1" >/dev/null 2>&1; then
    echo "signed: $2"
  else
    echo "NOT SIGNED: $2"
    status=1
  fi
}
for archive in dist/*.zip; do
  unzip -q -o "$archive" Quennavar.exe -d "zip-${archive##*/}"
  verify "zip-${archive##*/}/Quennavar.exe" "Quennavar.exe in ${archive##*/}"
done
packages=(dist/*.msi)
[ ${#packages[@]} -eq 4 ] || { echo "${#packages[@]} packages, not 4"; exit 1; }
for package in "${packages[@]}"; do
  verify "$package" "${package##*/}"
  msiextract -C "msi-${package##*/}" "$package" >/dev/null
  verify "$(find "msi-${package##*/}" -name Quennavar.exe)" "Quennavar.exe in ${package##*/}"
done
exit $status
