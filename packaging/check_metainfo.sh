#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Validates AppStream metadata strictly: a metainfo file, or an installed tree (metainfo with its
# desktop entry and icons). Every finding fails, infos included, except those named below.
# Usage: check_metainfo.sh FILE.metainfo.xml|PREFIX
set -euo pipefail
target="${1:?usage: check_metainfo.sh FILE.metainfo.xml|PREFIX}"

# Findings of AppStream 1.0 (Debian 13) that no single file can avoid; AppStream 0.16 (Debian 12)
# raises none of them:
# - url-homepage-missing: the project has no web site, and the metadata names no address that
#   does not exist;
# - developer-name-tag-deprecated, developer-info-missing: 1.0 replaced <developer_name> with
#   <developer>, which 0.16 rejects as an unknown tag.
accepted='url-homepage-missing|developer-name-tag-deprecated|developer-info-missing'
case "$(appstreamcli --version)" in
*"version: 0."*) accepted='none accepted' ;;
esac

if [ -d "$target" ]; then
    command=(appstreamcli validate-tree --no-net --strict "$target")
else
    [ -f "$target" ] || { echo "FAIL: $target does not exist"; exit 1; }
    command=(appstreamcli validate --no-net --strict "$target")
fi
status=0
output="$("${command[@]}" 2>&1)" || status=$?
echo "$output"

# A finding reads "E: id:line: tag", with W, I or P for the lesser levels.
findings="$(sed -n 's/^ *\([EWIP]\): [^ ]*: \([a-z0-9-]*\).*/\1 \2/p' <<<"$output")"
unaccepted="$(grep -vE " ($accepted)\$" <<<"$findings" || true)"
if [ -n "$unaccepted" ]; then
    echo "FAIL: AppStream findings: $(tr '\n' ' ' <<<"$unaccepted")"
    exit 1
fi
if [ "$status" -ne 0 ] && [ -z "$findings" ]; then
    echo "FAIL: appstreamcli failed with status $status and no finding"
    exit 1
fi
echo "AppStream metadata valid${findings:+ (accepted: $(tr '\n' ' ' <<<"$findings"))}"
