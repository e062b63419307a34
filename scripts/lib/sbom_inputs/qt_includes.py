# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""Which of Qt's source files include third-party code of Qt's: some, like TinyCBOR or the hash
functions, are compiled into Qt's own files rather than into a library of their own. Read from
Qt's source once, when the cached Qt is built, and kept as includes.txt beside its
attributions."""

import os
import re

from sbom_inputs.qt_source import in_scope, read_attributions

CODE_SUFFIXES = (".c", ".cc", ".cpp")
# Platforms and compilers other than Windows with MinGW: an include under a test of one of them
# alone brings nothing into the Windows program.
FOREIGN = re.compile(r"\b(Q_OS_(UNIX|DARWIN|MACOS|MACX|IOS|TVOS|WATCHOS|VISIONOS|APPLE|ANDROID|"
                     r"LINUX|WASM|QNX|VXWORKS|INTEGRITY|FREEBSD|NETBSD|OPENBSD|BSD4|HURD|"
                     r"SOLARIS|HPUX|AIX|HAIKU)|__APPLE__|__linux__|Q_CC_MSVC|_MSC_VER)\b")
WINDOWS = re.compile(r"\b(Q_OS_WIN\w*|_WIN32|_WIN64)\b")
NEGATED = re.compile(r"!\s*(defined\s*\(?\s*\w+\s*\)?|\w+)")


def only(pattern, condition):
    """Whether a preprocessor condition holds only when PATTERN's macros are defined."""
    condition = NEGATED.sub("", condition)
    return "||" not in condition and bool(pattern.search(condition))


def qt_includes(source):
    """Lines 'FILE<TAB>INCLUDED' for Qt's files that include a file in the scope of an
    attribution (directly or through another included file). Quoted and bracketed includes are
    looked for next to the including file; an included .c/.cpp file is also looked for anywhere
    (TinyCBOR's files are found through an include path)."""
    entries = [e for e in read_attributions(source) if e["where"].startswith("src")]
    files = []
    for root, _, names in os.walk(os.path.join(source, "src")):
        files += [os.path.relpath(os.path.join(root, n), source) for n in names
                  if n.endswith(CODE_SUFFIXES + (".h",))]
    files.sort()
    known = set(files)
    by_name = {}
    for path in files:
        if path.endswith(CODE_SUFFIXES):
            by_name.setdefault(os.path.basename(path), []).append(path)
    directive = re.compile(r'^\s*#\s*(include|ifdef|ifndef|if|elif|else|endif)\b\s*(.*)')
    include = re.compile(r'[<"]([^>"]+)[>"]')

    def includes(text):
        """The files TEXT includes, but for those only other platforms see."""
        # Per open #if: whether its current branch is for other platforms only, and whether
        # an earlier branch was for Windows only.
        stack = []
        for line in text.splitlines():
            match = directive.match(line)
            if not match:
                continue
            word, rest = match.groups()
            if word in ("if", "ifdef"):
                stack.append([only(FOREIGN, rest), only(WINDOWS, rest)])
            elif word == "ifndef":
                stack.append([only(WINDOWS, rest), only(FOREIGN, rest)])
            elif word in ("elif", "else") and stack:
                windows_before = stack[-1][1]
                stack[-1] = [windows_before or (word == "elif" and only(FOREIGN, rest)),
                             windows_before or (word == "elif" and only(WINDOWS, rest))]
            elif word == "endif" and stack:
                stack.pop()
            elif word == "include" and not any(foreign for foreign, _ in stack):
                name = include.match(rest.strip())
                if name:
                    yield name.group(1)

    def direct(path):
        try:
            with open(os.path.join(source, path), encoding="utf-8", errors="replace") as s:
                text = s.read()
        except OSError:
            return []
        found = []
        for name in includes(text):
            near = os.path.normpath(os.path.join(os.path.dirname(path), name))
            if near in known:
                found.append(near)
            elif name.endswith(CODE_SUFFIXES):
                found += [p for p in by_name.get(os.path.basename(name), [])
                          if p.endswith("/" + name)]
        return found

    lines = []
    for path in files:
        if not path.endswith(CODE_SUFFIXES):
            continue
        seen, todo = set(), direct(path)
        while todo:
            item = todo.pop()
            if item in seen:
                continue
            seen.add(item)
            todo += direct(item)
        for item in sorted(seen):
            if any(in_scope(item, e) for e in entries):
                lines.append(f"{path}\t{item}")
    return lines
