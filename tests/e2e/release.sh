#!/bin/sh
# make dist with a throwaway key, through the rule's copy for tests (dist_check): signatures that
# osslsigncode verifies, nothing of the key in the log, the winget manifest with and without an
# address; an ECC key refused in one line, leaving no file.
# Usage: release.sh BUILD_DIR DIST_FOLDER STAGE VERSION
build="$1"
dist="$2"
stage="$3"
version="$4"
dir=$(mktemp -d "${TMPDIR:-/tmp}/vantorel-release.XXXXXX")
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
failed=0
check() { if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAILED: $1: expected [$2], got [$3]"; failed=1; fi; }
unset SIGN_PFX SIGN_PFX_PASSWORD_FILE SIGN_CERT SIGN_KEY SIGN_TIMESTAMP_URL RELEASE_URL
make_dist() { env "$@" cmake --build "$build" --target dist_check >log 2>&1; }
# verified FILE: the digests its signatures name, and whether osslsigncode accepts them.
verified() { out=$(osslsigncode verify -CAfile rsa.crt -in "$1" 2>&1)
  echo "$?" $(printf '%s\n' "$out" | sed -n 's/^Message digest algorithm *: *//p' | sort -u); }
python=/usr/bin/python3
[ -x $python ] || python=python3
# manifest URL: the manifest's fields, every one; with URL empty, a placeholder stands for it.
manifest() { $python - "$dist/winget" "$(echo "$dist"/*-setup.exe)" "$version" "$1" <<'PYTHON'
import hashlib, re, sys, yaml
folder, setup, version, url = sys.argv[1:]
load = lambda kind: yaml.safe_load(open(f"{folder}/Vantorel.Vantorel.{kind}yaml", encoding="utf-8"))
sha256 = hashlib.sha256(open(setup, "rb").read()).hexdigest().upper()
common = {"PackageIdentifier": "Vantorel.Vantorel", "PackageVersion": version, "ManifestVersion": "1.9.0"}
locale = {"Publisher": "The Vantorel developers", "PackageName": "Vantorel", "License": "MIT"}
expected = {
    "": {"ManifestType": "version", "DefaultLocale": "ja-JP"},
    "installer.": {"ManifestType": "installer", "InstallerType": "nullsoft", "Scope": "machine",
                   "ElevationRequirement": "elevatesSelf", "ProductCode": "Vantorel",
                   "InstallerSwitches": {"Silent": "/S", "SilentWithProgress": "/S",
                                         "InstallLocation": "/D=<INSTALLPATH>"}},
    "locale.ja-JP.": {"ManifestType": "defaultLocale", "PackageLocale": "ja-JP", **locale,
                      "ShortDescription": "ファイルの一括選択やフィルタリングを実現"},
    "locale.en-US.": {"ManifestType": "locale", "PackageLocale": "en-US", **locale},
}
failed = []
for kind, fields in expected.items():
    manifest = load(kind)
    failed += [f"{kind}{k}: {manifest.get(k)!r}" for k, v in {**common, **fields}.items() if manifest.get(k) != v]
[installer] = load("installer.")["Installers"]
if {k: installer[k] for k in ("Architecture", "InstallerSha256")} != {"Architecture": "x64", "InstallerSha256": sha256}:
    failed.append(f"Installers: {installer!r}, setup {sha256}")
# Without an address, a placeholder that the schema's pattern for InstallerUrl rejects.
actual = installer["InstallerUrl"]
if (actual != url) if url else re.match(r"^[Hh][Tt][Tt][Pp][Ss]?://.+$", actual):
    failed.append(f"InstallerUrl: {actual!r}")
print("; ".join(failed))
PYTHON
}

openssl req -x509 -newkey rsa:2048 -nodes -keyout rsa.pem -out rsa.crt -days 1 -subj "/CN=Vantorel test" 2>/dev/null
openssl rand -hex 16 >password
openssl pkcs12 -export -inkey rsa.pem -in rsa.crt -out rsa.pfx -passout file:password
openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ec.pem -out ec.crt -days 1 \
  -subj "/CN=Vantorel test" 2>/dev/null
url=https://example.org/download/Vantorel-setup.exe

make_dist SIGN_PFX="$dir/rsa.pfx" SIGN_PFX_PASSWORD_FILE="$dir/password" RELEASE_URL="$url"
check "make dist with an RSA key" 0 $?
mkdir zip && (cd zip && cmake -E tar xf "$dist"/*.zip)
for file in "$stage/Vantorel.dll" "$stage/Uninstall.exe" "$dist"/*-setup.exe zip/Vantorel.dll; do
  check "signed with SHA-256: $file" "0 SHA256" "$(verified "$file")"
done
check "nothing of the key in the log" "" "$(grep -e "$(cat password)" -e PRIVATE -e CERTIFICATE log)"
check "the manifest" "" "$(manifest "$url")"
# The same key without an address: the manifest is made again, with the placeholder.
make_dist SIGN_PFX="$dir/rsa.pfx" SIGN_PFX_PASSWORD_FILE="$dir/password"
check "the manifest's placeholder" "0 " "$? $(manifest "")"

make_dist SIGN_CERT="$dir/ec.crt" SIGN_KEY="$dir/ec.pem"
check "an ECC key is refused" "1 make dist: the signing key is not an RSA key, and Smart App Control accepts RSA signatures only: nothing was signed" \
  "$(($? != 0)) $(grep '^make dist' log)"
check "and leaves no file" "" "$(find "$dist" -type f)"
exit $failed
