# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Debian's package database, as dpkg-query tells it, and the packages' copyright files."""

import os
import re
import subprocess


def dpkg_owners(paths):
    """The Debian package of each file, or None; one dpkg-query for all, which reads the whole
    package database each time."""
    paths = sorted(set(paths))
    if not paths:
        return {}
    # A file of no package is reported on stderr, and makes the exit status 1.
    out = subprocess.run(["dpkg-query", "-S"] + [os.path.realpath(p) for p in paths],
                         capture_output=True, text=True).stdout
    owners = {}
    for line in out.splitlines():
        packages, _, path = line.partition(": ")
        if not packages.startswith("diversion by"):
            owners[path.strip()] = packages.split(",")[0].strip()
    return {p: owners.get(os.path.realpath(p)) for p in paths}


def dpkg_field(package, field):
    """A field of an installed package (Version, Architecture, source:Package...)."""
    return subprocess.run(["dpkg-query", "-W", "-f=${" + field + "}", package], check=True,
                          capture_output=True, text=True).stdout.strip()


def copyright_license(package):
    """The licence of the 'Files: *' paragraph of an installed package's machine-readable
    copyright file (copyright-format 1.0), as (Debian's short name, the text below it); None
    when the file is missing or not machine-readable."""
    try:
        with open(f"/usr/share/doc/{package}/copyright", encoding="utf-8") as stream:
            text = stream.read()
    except OSError:
        return None
    match = re.search(r"^Files:\s*\*\s*$(?:\n(?!\n).*)*?\nLicense:\s*(.+)((?:\n[ \t].*)*)",
                      text, re.M)
    if not text.startswith("Format:") or not match:
        return None
    # Continuation lines start with a space; a line of a lone "." is an empty one.
    body = "\n".join(line[1:] if line[1:] != "." else ""
                     for line in match.group(2).split("\n")[1:])
    return match.group(1), body
