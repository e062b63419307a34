# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""What sbom.py writes:

  components  which component of the Windows program each linked file belongs to
  spdx        the SPDX 2.3 documents of the Windows artefacts and of the Debian package
"""
