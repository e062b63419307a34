# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""What check_sbom.py checks an SBOM against:

  licences           SPDX licence expressions, with Debian's python3-license-expression
  linked_components  the components a link map shows linked, found independently of sbom.py
"""
