# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""What the software bills of materials (SBOMs) are made from, read where it is kept:

  link_map     the GNU ld map of the Windows program: every file that went into it
  debian       Debian's package database: who owns a file, a package's fields and licence
  qt_source    Qt's qt_attribution.json files and the lists of its source kept with the cached Qt
  qt_includes  which of Qt's source files include third-party code (read from the source itself)
  qt_prefix    the cached Qt for Windows: its version, its plugins, the libraries it bundles
  sha256()     an artefact's checksum

Shared by sbom.py, which writes the SBOMs, and check_sbom.py, which checks them. These modules
only read: which component a linked file belongs to is for each of them to decide.
"""

import hashlib


def sha256(path):
    """The SHA-256 of the file at path, in hex."""
    digest = hashlib.sha256()
    with open(path, "rb") as stream:
        for block in iter(lambda: stream.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


class SbomError(Exception):
    """An input that cannot be read, or that no component can be found for."""
