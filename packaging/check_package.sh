#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Checks a built Debian package as a distribution would: lintian finds nothing (errors,
# warnings, infos), the program carries the hardening Debian asks for, and nothing in it
# depends on when or where it was built.
# Usage: check_package.sh DEB SOURCE_DATE_EPOCH BUILD_ROOT
set -euo pipefail

deb="${1:?usage: check_package.sh DEB SOURCE_DATE_EPOCH BUILD_ROOT}"
epoch="${2:?usage: check_package.sh DEB SOURCE_DATE_EPOCH BUILD_ROOT}"
build_root="${3:?usage: check_package.sh DEB SOURCE_DATE_EPOCH BUILD_ROOT}"
program=mv4016-calculator

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

dpkg-deb -x "$deb" "$work/root"
binary="$work/root/usr/bin/$program"

# lintian: every tag it shows is a finding, infos included. Its appstream-metadata-validation-
# failed only says that appstreamcli validate-tree failed; check_metainfo.sh runs that strictly
# and names the findings it accepts, so it decides.
lintian --display-info --fail-on none "$deb" >"$work/lintian.log" 2>&1 ||
    fail "lintian stopped with status $?"
accepted=0
while read -r line; do
    if [[ "$line" == *" appstream-metadata-validation-failed "* ]] &&
        bash "$(dirname "${BASH_SOURCE[0]}")/check_metainfo.sh" "$work/root/usr" >"$work/as.log"; then
        echo "lintian (accepted, see check_metainfo.sh): $line"
        accepted=$((accepted + 1))
        sed -n 's/^AppStream metadata valid/  AppStream metadata valid/p' "$work/as.log"
    else
        echo "lintian: $line"
        fail "lintian finding"
    fi
done < <(grep -E '^[EWIXPO]: ' "$work/lintian.log" || true)

# hardening-check: these four must read yes. Fortification and control-flow protection depend
# on more than the flags (calls that can be checked; the C library's start-up objects), so they
# are shown, not judged.
hardening-check "$binary" >"$work/hardening.log" 2>&1 || true
sed 's/^/hardening-check: /' "$work/hardening.log"
for line in "Position Independent Executable" "Stack protected" "Read-only relocations" \
    "Immediate binding"; do
    grep -q "^ $line: yes" "$work/hardening.log" || fail "hardening-check: $line is not yes"
done

# Every time stamp is the source date: the archive members, and every file and folder.
stamp="$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S')"
# The ar container's header: 8 bytes of magic, then per member 60 bytes (name 16, date 12, owner,
# group and mode 20, size 10, end 2) and its data, padded to an even length.
while read -r member member_time; do
    [ "$member_time" = "$epoch" ] || fail "archive member $member is dated $member_time, not $epoch"
done < <(perl -e 'open(my $f, "<", $ARGV[0]) or die; read($f, my $magic, 8);
    while (read($f, my $h, 60) == 60) {
        my ($name, $time, $size) = map { s/\s+$//r } unpack("A16 A12 x20 A10", $h);
        print "$name $time\n"; seek($f, $size + $size % 2, 1);
    }' "$deb")
for part in --fsys-tarfile --ctrl-tarfile; do
    while read -r day time name; do
        [ "$day $time" = "$stamp" ] || fail "$name (${part#--}) is dated $day $time, not $stamp"
    done < <(dpkg-deb "$part" "$deb" | TZ=UTC tar -tv --full-time -f - | awk '{ print $4, $5, $6 }')
done

# No path of the machine it was built on.
if grep -rlaF "$build_root" "$work/root" >"$work/paths.log"; then
    fail "the build path $build_root appears in: $(sed "s|^$work/root/||" "$work/paths.log" | tr '\n' ' ')"
fi

echo "installed size: $(dpkg-deb -f "$deb" Installed-Size) KiB"
if [ "$failures" -ne 0 ]; then
    echo "$failures package check(s) failed"
    exit 1
fi
lintian="lintian clean"
[ "$accepted" -eq 0 ] || lintian="lintian with $accepted accepted finding(s), shown above"
echo "package checks passed: $lintian, hardening, no build date or path"
