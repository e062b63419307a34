#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Software bills of materials (SBOMs; SPDX 2.3, JSON) for the artefacts of a release.

  sbom.py windows --map MAP --qt-prefix DIR --attributions DIR --build DIR --program EXE
                  --artefact FILE --version V --publisher P --output FILE
      The Windows program, installer or archive. What the program contains comes from the
      linker's map: every archive member and object file that went into it is assigned to a
      component (the program, a Qt module, a library that Qt carries, the MinGW-w64 or GCC
      runtime); one that fits none stops the SBOM. Versions and licences of Qt's third-party
      code come from the qt_attribution.json files of the Qt source that was built.
  sbom.py deb --deb FILE --publisher P --output FILE
      The Debian package, with the packages its Depends field names, as dpkg-shlibdeps
      computed them.
  sbom.py qt-includes SOURCE
      Which of Qt's source files include third-party code of Qt's (some, like TinyCBOR or the
      hash functions, are compiled into Qt's own files), for the attributions folder.

What they are made from is read by the modules of sbom_inputs; sbom_documents decides what
belongs to which component and writes the documents. Only the standard library is used.
SOURCE_DATE_EPOCH fixes the creation time, so that the same artefact always gets the same SBOM.
"""

import argparse
import os
import subprocess
import sys

# No __pycache__ folders in the tree: scripts/release wants a tree without untracked files.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sbom_documents.spdx import deb_sbom, windows_sbom, write  # noqa: E402
from sbom_inputs import SbomError  # noqa: E402
from sbom_inputs.qt_includes import qt_includes  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    windows = commands.add_parser("windows")
    for option in ("map", "qt-prefix", "attributions", "build", "program", "artefact",
                   "version", "publisher", "output"):
        windows.add_argument("--" + option, required=True)
    deb = commands.add_parser("deb")
    for option in ("deb", "publisher", "output"):
        deb.add_argument("--" + option, required=True)
    includes = commands.add_parser("qt-includes")
    includes.add_argument("source")
    args = parser.parse_args()
    # Only an SBOM has a creation time; the include scan has none.
    args.epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not args.epoch and args.command != "qt-includes":
        parser.error("SOURCE_DATE_EPOCH must be set: it is the SBOMs' creation time")
    try:
        if args.command == "qt-includes":
            print("\n".join(qt_includes(args.source)))
        elif args.command == "windows":
            write(windows_sbom(args), args.output)
        else:
            write(deb_sbom(args), args.output)
    except (SbomError, OSError, subprocess.CalledProcessError) as error:
        print(f"sbom: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
