# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""SPDX licence expressions, read with Debian's python3-license-expression and its SPDX licence
list: whether an SBOM's are valid, each identifier as SPDX spells it now, and what Qt's
qt_attribution.json files name."""

import re

from license_expression import (ExpressionError, LicenseSymbol, Licensing, get_license_index,
                                get_spdx_licensing)

OPERATORS = ("AND", "OR", "WITH")


class Licences:
    """SPDX licence expressions, over the SPDX licence list of Debian's license-expression and
    the LicenseRef- licences that a document defines (REFS)."""

    def __init__(self, refs):
        self.spdx = get_spdx_licensing()
        # The library also knows ScanCode's LicenseRef-scancode-...; a document defines its own.
        symbols = [s for key, s in self.spdx.known_symbols.items()
                   if not key.startswith("LicenseRef-")]
        self.current = {s.key for s in symbols}
        self.refs = set(refs)
        self.licensing = Licensing(symbols + [LicenseSymbol(ref) for ref in sorted(self.refs)])

    def problems(self, text):
        """What is wrong with the expression TEXT, and the LicenseRef- licences it uses."""
        if text in ("NOASSERTION", "NONE"):
            return [], set()
        if not text.strip():
            return ["is empty"], set()
        problems, used = [], set()
        for token in re.findall(r"[^\s()]+", text):
            if token in OPERATORS:
                continue
            if token.upper() in OPERATORS:
                problems.append(f"writes the operator '{token}' in lower case")
            elif token.startswith("LicenseRef-"):
                used.add(token)
                if token not in self.refs:
                    problems.append(f"uses {token}, which the document does not define")
            elif token not in self.current:
                known = self.current_name(token)
                problems.append(f"names '{token}', which is not SPDX's current identifier "
                                f"'{known}'" if known else
                                f"names '{token}', which is no SPDX licence identifier")
        if not problems:
            try:
                self.licensing.parse(text, validate=True, strict=True)
            except ExpressionError as error:
                problems.append(f"is no valid expression: {error}")
        return problems, used

    def current_name(self, token):
        """SPDX's identifier today for TOKEN, which the library also reads as an old or a
        differently spelled one (GPL-2.0: GPL-2.0-only); None for a name it does not know."""
        try:
            key = self.spdx.parse(token, strict=False).key
        except (ExpressionError, AttributeError):
            return None
        return key if key in self.current else None

    def of_attribution(self, entry):
        """The licence a qt_attribution.json entry gives, as an expression of SPDX's; None when
        it names none that SPDX has (the SBOM then needs a licence of its own for it)."""
        text = entry.get("LicenseId") or ""
        # DejaCode's names of ScanCode's licences, which know their SPDX identifiers.
        for key in re.findall(r"urn:dje:license:([\w.-]+)", text):
            found = [e.get("spdx_license_key") for e in get_license_index()
                     if e.get("license_key") == key]
            if found and found[0]:
                text = text.replace(f"urn:dje:license:{key}", found[0])
        try:
            return self.licensing.parse(text, validate=True) if text else None
        except ExpressionError:
            return None

    def same(self, text, expression):
        try:
            return self.licensing.is_equivalent(self.licensing.parse(text), expression)
        except ExpressionError:
            return False
