#!/bin/sh
# Authenticode signatures of the release files (SHA-256, osslsigncode), with the key the
# environment names, read from files only, never from the command line:
#   SIGN_PFX=key.pfx, its password in the file SIGN_PFX_PASSWORD_FILE (none: an empty password)
#   or SIGN_CERT=certificate (PEM or DER, the signer first, then its chain) with SIGN_KEY=key.pem
#   SIGN_TIMESTAMP_URL=an RFC 3161 time-stamp server (optional): the signature then outlives the
#   certificate.
# Usage: sign.sh check        says in one line whether the files get signed; refuses, in one line,
#                             a key that cannot sign the release
#        sign.sh FILE [COPY]  signs FILE in place (with no key: leaves it as it is) and puts a copy
#                             of the result at COPY. A file that could not be signed is removed:
#                             no release file is left unsigned beside signed ones.
# Nothing of the key, its password or the certificate is printed.

fail() { echo "make dist: $*" >&2; exit 1; }

# readable NAME: the file that the variable NAME gives. The steps run in different folders, so
# a path relative to where make was started would name another file in each.
readable() {
  eval "path=\$$1"
  case "$path" in /*) ;; *) fail "$1: give the file's full path" ;; esac
  [ -r "$path" ] || fail "$1: cannot read the file"
}

step="$1"
copy="$2"
# The key's arguments to osslsigncode; none: unsigned.
if [ -n "$SIGN_PFX" ] && [ -n "$SIGN_CERT$SIGN_KEY" ]; then
  fail "give either SIGN_PFX or SIGN_CERT with SIGN_KEY, not both"
elif [ -n "$SIGN_PFX" ]; then
  readable SIGN_PFX
  if [ -n "$SIGN_PFX_PASSWORD_FILE" ]; then
    readable SIGN_PFX_PASSWORD_FILE
    passin="file:$SIGN_PFX_PASSWORD_FILE"
    set -- -pkcs12 "$SIGN_PFX" -readpass "$SIGN_PFX_PASSWORD_FILE"
  else
    passin="pass:"
    set -- -pkcs12 "$SIGN_PFX"
  fi
elif [ -n "$SIGN_CERT$SIGN_KEY" ]; then
  readable SIGN_CERT
  readable SIGN_KEY
  set -- -certs "$SIGN_CERT" -key "$SIGN_KEY"
else
  set --
fi

# The signer's certificate (the first one of the file), for its kind of key.
signer() {
  if [ -n "$SIGN_PFX" ]; then
    # A key exported by older Windows is protected with algorithms OpenSSL 3 keeps as legacy.
    openssl pkcs12 -in "$SIGN_PFX" -passin "$passin" -nokeys -clcerts 2>/dev/null ||
      openssl pkcs12 -legacy -in "$SIGN_PFX" -passin "$passin" -nokeys -clcerts 2>/dev/null
  else
    openssl x509 -in "$SIGN_CERT" 2>/dev/null || openssl x509 -inform DER -in "$SIGN_CERT" 2>/dev/null
  fi
}

if [ "$step" = check ]; then
  if [ $# -eq 0 ]; then
    echo "make dist: no SIGN_PFX or SIGN_CERT given: Vantorel.dll, the uninstaller and the setup program stay unsigned"
    exit 0
  fi
  certificate=$(signer) || fail "cannot read the signing certificate (is the password file right?)"
  # Smart App Control accepts RSA signatures only; an ECDSA signature would block the module.
  printf '%s\n' "$certificate" | openssl x509 -noout -pubkey 2>/dev/null | openssl rsa -pubin -noout 2>/dev/null ||
    fail "the signing key is not an RSA key, and Smart App Control accepts RSA signatures only: nothing was signed"
  echo "make dist: signing Vantorel.dll, the uninstaller and the setup program (SHA-256)"
  exit 0
fi

file="$step"
if [ $# -gt 0 ]; then
  [ -z "$SIGN_TIMESTAMP_URL" ] || set -- "$@" -ts "$SIGN_TIMESTAMP_URL"
  rm -f "$file.signed"
  if ! osslsigncode sign -h sha256 -n Vantorel "$@" -in "$file" -out "$file.signed" >/dev/null; then
    rm -f "$file" "$file.signed"
    fail "$(basename "$file") could not be signed; it was removed"
  fi
  mv -f "$file.signed" "$file" || { rm -f "$file"; exit 1; }
fi
[ -z "$copy" ] || cp "$file" "$copy"
