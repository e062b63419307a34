#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Checks the signing hook with a throwaway certificate (self-signed, made here with openssl):
# a missing or wrong certificate or password stops scripts/release, with a message that says
# which, before it builds anything; a signed build's program, uninstaller, installer and the
# program in the archive all verify against the certificate, each with an RFC 3161 time stamp
# from a throwaway time-stamp server on this machine (openssl ts behind a few lines of Python);
# and removing the program's signature gives back the unsigned, reproducible bytes.
# Usage: check_signing.sh PROJECT UNSIGNED_DIST
#   PROJECT: a copy of the project already built for Windows, whose build is signed here;
#   UNSIGNED_DIST: the unsigned build/windows/dist of the same commit.
# The uninstaller is checked where the installer writes it, in a Wine installation in a prefix
# of its own; needs an X display.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
project="$(realpath "$1")"
unsigned="$(realpath "$2")"
ensure_packages osslsigncode openssl git unzip

fail() {
    echo "check_signing: $*" >&2
    exit 1
}
work="$(mktemp -d)"
on_exit rm -rf "$work"
password="throwaway-$RANDOM$RANDOM"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" \
    -days 2 -subj "/CN=MV-4016 throwaway test signer" -addext extendedKeyUsage=codeSigning \
    2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/test.p12" \
    -passout fd:3 3<<<"$password"

# The time-stamp server: its own certificate, answering on a free local port.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/tsa-key.pem" -out "$work/tsa.pem" \
    -days 2 -subj "/CN=MV-4016 throwaway time-stamp server" \
    -addext extendedKeyUsage=critical,timeStamping 2>/dev/null
echo 01 >"$work/tsa-serial"
cat >"$work/tsa.cnf" <<EOF
[tsa]
default_tsa = throwaway
[throwaway]
serial = $work/tsa-serial
signer_cert = $work/tsa.pem
signer_key = $work/tsa-key.pem
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
cat >"$work/tsa.py" <<'PYTHON'
import http.server, subprocess, sys
class Reply(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[1],
                                "-queryfile", "/dev/stdin"], input=query,
                               capture_output=True).stdout
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Reply)
print(server.server_address[1], flush=True)
server.serve_forever()
PYTHON
/usr/bin/python3 "$work/tsa.py" "$work/tsa.cnf" >"$work/tsa.port" &
tsa_pid=$!
on_exit kill "$tsa_pid"
for _ in $(seq 50); do
    [ -s "$work/tsa.port" ] && break
    sleep 0.1
done
[ -s "$work/tsa.port" ] || fail "the time-stamp server did not start"
timestamp_url="http://127.0.0.1:$(cat "$work/tsa.port")"

# A release stopped before it builds: in a copy of the project under test, committed as it is in
# a repository of its own, since a release refuses a tree with uncommitted changes.
mkdir "$work/clone"
tar -C "$project" --exclude=./build -cf - . | tar -C "$work/clone" -xf -
git -C "$work/clone" init -q
git -C "$work/clone" add -A
git -C "$work/clone" -c user.name=check -c user.email=check@example.org commit -q \
    -m "The project under test"
while IFS='|' read -r settings expected; do
    # The settings are words VAR=value, with $work and $password in them.
    eval "settings=($settings)"
    if out="$(env -u SIGN_PKCS12 -u SIGN_PASSWORD -u SIGN_TIMESTAMP_URL "${settings[@]}" \
        "$work/clone/scripts/release" 2>&1)"; then
        fail "a release with ${settings[*]} did not stop"
    fi
    grep -qF -- "$expected" <<<"$out" ||
        fail "a release with ${settings[*]} said, instead of '$expected': $out"
    [ ! -e "$work/clone/build" ] || fail "a release with ${settings[*]} built before it stopped"
    echo "check_signing: stopped: $expected"
done <<'ROWS'
SIGN_PKCS12="$work/test.p12"|SIGN_PASSWORD is not set
SIGN_PKCS12="$work/test.p12" SIGN_PASSWORD=wrong|SIGN_PASSWORD is the wrong password
SIGN_PKCS12="$work/none.p12" SIGN_PASSWORD="$password"|no file
SIGN_PKCS12="$work/cert.pem" SIGN_PASSWORD="$password"|is not a .p12 file
SIGN_PASSWORD="$password"|SIGN_PKCS12 is not set
ROWS

SIGN_PKCS12="$work/test.p12" SIGN_PASSWORD="$password" SIGN_TIMESTAMP_URL="$timestamp_url" \
    "$project/scripts/windows" \
    >"$work/windows.log" 2>&1 || { cat "$work/windows.log"; fail "the signed build failed"; }
dist="$project/build/windows/dist"
setup="$(echo "$dist"/*-setup.exe)"
unzip -p "$dist"/*-windows-x64.zip mv4016-calculator.exe >"$work/zipped.exe"

# The uninstaller as the installer writes it. A prefix of its own: the caller's may have a
# persistent server, for which "wineserver -w" would wait for ever.
WINEPREFIX="$work/wine"
export WINEPREFIX
on_exit env WINEPREFIX="$WINEPREFIX" wineserver -k
wine_run="$ROOT/scripts/lib/wine_run"
"$wine_run" "$setup" /S '/D=C:\mv4016-signing-check'
wineserver -w
installed="$("$wine_run" winepath -u 'C:\mv4016-signing-check' 2>/dev/null | tr -d '\r')"
cp "$installed/uninstall.exe" "$work/uninstall.exe" || fail "the installer wrote no uninstaller"

# Verified in UTC: Debian 12's osslsigncode (2.5) reads a signature's times as local time when it
# verifies, so east of Greenwich a time stamp made just now seems older than the certificate made
# just before it ("certificate is not yet valid"). The times it writes are right in any zone.
for file in "$dist/mv4016-calculator.exe" "$work/uninstall.exe" "$setup" "$work/zipped.exe"; do
    TZ=UTC osslsigncode verify -CAfile "$work/cert.pem" -TSA-CAfile "$work/tsa.pem" -in "$file" \
        >"$work/verify.log" 2>&1 ||
        { cat "$work/verify.log"; fail "$(basename "$file") does not verify"; }
    grep -q 'Timestamp Server Signature verification: ok' "$work/verify.log" ||
        { cat "$work/verify.log"; fail "$(basename "$file") has no valid time stamp"; }
    echo "check_signing: $(basename "$file") signed and time-stamped; both verify"
done
cmp -s "$work/zipped.exe" "$dist/mv4016-calculator.exe" ||
    fail "the archive holds another program than the signed one"

cmp -s "$dist/mv4016-calculator.exe" "$unsigned/mv4016-calculator.exe" &&
    fail "the signed program is the unsigned one"
osslsigncode remove-signature -in "$dist/mv4016-calculator.exe" -out "$work/removed.exe" \
    >/dev/null
cmp "$work/removed.exe" "$unsigned/mv4016-calculator.exe" ||
    fail "without its signature, the program is not the unsigned build's"
echo "check_signing: without its signature the program is the unsigned one," \
     "$(sha256sum <"$work/removed.exe" | cut -c1-16)"
