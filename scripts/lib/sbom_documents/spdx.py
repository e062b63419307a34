# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

"""The SPDX 2.3 documents (JSON): one for each Windows artefact (the program, its installer, its
archive), with the components the link map shows, and one for the Debian package, with the
packages its Depends field names."""

import datetime
import json
import os
import re
import subprocess

from sbom_documents.components import TOOLCHAIN_COMPONENTS, WINPTHREADS, Classifier
from sbom_inputs import sha256
from sbom_inputs.debian import copyright_license, dpkg_field
from sbom_inputs.link_map import linked_inputs

QT_SUPPLIER = "Organization: Debian"
QT_ORIGINATOR = "Organization: The Qt Company Ltd."
# How Qt's own files are licensed (the SPDX lines of Qt 6's sources, without the commercial
# option); the program uses Qt under the LGPL, whose text ships with it.
QT_DECLARED = "LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only"
QT_CONCLUDED = "LGPL-3.0-only"


# Qt's attribution files use a few names that are not SPDX identifiers, or deprecated ones.
QT_LICENSE_FIXES = {
    "GPL-2.0": "GPL-2.0-only",
    "urn:dje:license:bitstream": "Bitstream-Vera",
    "ICC License": "LicenseRef-Qt-ICC",
}

# Debian's short licence names (copyright-format 1.0) in SPDX terms.
DEBIAN_LICENSES = {
    "GPL-2": "GPL-2.0-only", "GPL-2+": "GPL-2.0-or-later",
    "GPL-3": "GPL-3.0-only", "GPL-3+": "GPL-3.0-or-later",
    "LGPL-2.1": "LGPL-2.1-only", "LGPL-2.1+": "LGPL-2.1-or-later",
    "LGPL-3": "LGPL-3.0-only", "LGPL-3+": "LGPL-3.0-or-later",
    "AGPL-3": "AGPL-3.0-only", "Expat": "MIT", "MIT": "MIT", "Zlib": "Zlib",
    "BSD-2-clause": "BSD-2-Clause", "BSD-3-clause": "BSD-3-Clause", "ISC": "ISC",
    "Apache-2.0": "Apache-2.0", "MPL-2.0": "MPL-2.0", "SIL-OFL-1.1": "OFL-1.1",
    "OFL-1.1": "OFL-1.1",
}
# Packages whose copyright file is not machine-readable, by Debian source package (GCC's under
# its version, gcc-N, in every release).
DEBIAN_SOURCE_LICENSES = {
    re.compile(r"glibc"): "LGPL-2.1-or-later",
    re.compile(r"gcc-\d+"): "GPL-3.0-or-later WITH GCC-exception-3.1",
}


def spdx_license(entry):
    """The licence of an attribution entry as an SPDX expression."""
    text = entry.get("LicenseId")
    if not text:
        return "LicenseRef-Qt-" + entry["Id"]
    text = QT_LICENSE_FIXES.get(text, text)
    # Operators in capitals, but not the "or" of an identifier like GPL-2.0-or-later.
    text = re.sub(r"(?<![\w.+-])(or|and|with)(?![\w.+-])", lambda m: m.group(1).upper(), text)
    return " ".join(QT_LICENSE_FIXES.get(word, word) for word in text.split())


def spdx_id(text):
    return "SPDXRef-" + re.sub(r"[^A-Za-z0-9.-]+", "-", text).strip("-")


def created(epoch):
    moment = datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc)
    return moment.strftime("%Y-%m-%dT%H:%M:%SZ")


def document(name, publisher, epoch, digest):
    return {
        "spdxVersion": "SPDX-2.3",
        "dataLicense": "CC0-1.0",
        "SPDXID": "SPDXRef-DOCUMENT",
        "name": name,
        # Unique per artefact, the same for the same bytes.
        "documentNamespace": f"https://spdx.org/spdxdocs/{name}-{digest}",
        "creationInfo": {
            "created": created(epoch),
            "creators": [f"Organization: {publisher}", "Tool: mv4016-calculator-sbom"],
        },
        "packages": [],
        "relationships": [],
    }


def artefact_package(path, version, publisher, license_expression, purpose):
    name = os.path.basename(path)
    return {
        "SPDXID": spdx_id("File-" + name),
        "name": name,
        "versionInfo": version,
        "packageFileName": name,
        "supplier": f"Organization: {publisher}",
        "downloadLocation": "NOASSERTION",
        "filesAnalyzed": False,
        "checksums": [{"algorithm": "SHA256", "checksumValue": sha256(path)}],
        "licenseConcluded": license_expression,
        "licenseDeclared": license_expression,
        "copyrightText": f"Copyright (c) 2026 {publisher}",
        "primaryPackagePurpose": purpose,
    }


def debian_purl(package, version, arch):
    return {"referenceCategory": "PACKAGE-MANAGER", "referenceType": "purl",
            "referenceLocator": f"pkg:deb/debian/{package}@{version}?arch={arch}"}


def component_package(classifier, component, files):
    """The SPDX package of a linked component, with the texts of licences that SPDX lacks;
    FILES are the (path, member) pairs the link map shows of it."""
    extracted = {}
    kind = component[0]
    if kind == "qt":
        module = component[1]
        package = {
            "SPDXID": spdx_id("Qt-" + module), "name": f"Qt {module}",
            "versionInfo": classifier.qt_version, "supplier": QT_SUPPLIER,
            "originator": QT_ORIGINATOR,
            "downloadLocation": "https://deb.debian.org/debian/pool/main/q/qt6-base/",
            "homepage": "https://www.qt.io/",
            "licenseConcluded": QT_CONCLUDED, "licenseDeclared": QT_DECLARED,
            "copyrightText": "Copyright (C) The Qt Company Ltd. and other contributors",
            "externalRefs": [debian_purl("qt6-base", classifier.qt_version, "source")],
        }
    elif kind == "attribution":
        entry = classifier.entries[component[1]]
        license_expression = spdx_license(entry)
        for ref in re.findall(r"LicenseRef-[A-Za-z0-9.-]+", license_expression):
            extracted[ref] = {
                "licenseId": ref,
                "name": entry.get("License") or ref,
                "extractedText": (entry.get("License") or "") + "\n" +
                                 (entry.get("Copyright") or ""),
            }
        package = {
            "SPDXID": spdx_id("Qt-3rdparty-" + entry["Id"]),
            "name": entry.get("Name", entry["Id"]),
            "versionInfo": entry.get("Version") or "NOASSERTION",
            "supplier": QT_SUPPLIER,
            "downloadLocation": entry.get("DownloadLocation") or "NOASSERTION",
            "licenseConcluded": license_expression,
            "licenseDeclared": license_expression,
            "copyrightText": entry.get("Copyright") or "NOASSERTION",
            "comment": f"Carried by Qt in {entry['where']}; qt_attribution.json Id "
                       f"{entry['Id']}. {entry.get('QtUsage', '')}".strip(),
        }
        if entry.get("Homepage"):
            package["homepage"] = entry["Homepage"]
    else:
        if kind == "winpthreads":
            debian = "mingw-w64-x86-64-dev"
            name, license_expression, copyright_text = WINPTHREADS
        else:
            debian = component[1]
            name, license_expression, copyright_text = TOOLCHAIN_COMPONENTS[debian]
        version = dpkg_field(debian, "Version")
        package = {
            "SPDXID": spdx_id(name.split(" (")[0]), "name": name, "versionInfo": version,
            "supplier": "Organization: Debian", "downloadLocation": "NOASSERTION",
            "licenseConcluded": license_expression,
            "licenseDeclared": license_expression, "copyrightText": copyright_text,
            "externalRefs": [debian_purl(debian, version,
                                         dpkg_field(debian, "Architecture"))],
            # Which of the package's files: a package may hold several components.
            "sourceInfo": "linked from " + ", ".join(sorted({path for path, _ in files})),
        }
    package["filesAnalyzed"] = False
    package["primaryPackagePurpose"] = "LIBRARY"
    return package, extracted


def windows_sbom(args):
    classifier = Classifier(args.qt_prefix, args.attributions, args.build)
    found = classifier.components(linked_inputs(args.map, args.build))
    artefact = os.path.basename(args.artefact)
    doc = document(artefact, args.publisher, args.epoch, sha256(args.artefact))
    program = artefact_package(args.program, args.version, args.publisher, "MIT",
                               "APPLICATION")
    top = program
    if os.path.abspath(args.artefact) != os.path.abspath(args.program):
        installer = artefact.endswith("-setup.exe")
        top = artefact_package(args.artefact, args.version, args.publisher, "MIT",
                               "INSTALL" if installer else "ARCHIVE")
        doc["packages"].append(top)
    doc["packages"].append(program)
    doc["relationships"].append({"spdxElementId": "SPDXRef-DOCUMENT",
                                 "relationshipType": "DESCRIBES",
                                 "relatedSpdxElement": top["SPDXID"]})
    if top is not program:
        doc["relationships"].append({"spdxElementId": top["SPDXID"],
                                     "relationshipType": "CONTAINS",
                                     "relatedSpdxElement": program["SPDXID"]})
        if top["primaryPackagePurpose"] == "INSTALL":
            nsis = dpkg_field("nsis", "Version")
            stub = {
                "SPDXID": "SPDXRef-NSIS", "name": "NSIS installer stub", "versionInfo": nsis,
                "supplier": "Organization: Debian", "downloadLocation": "NOASSERTION",
                "filesAnalyzed": False,
                # Debian's copyright file of nsis: the stub's own code, its LZMA and bzip2
                # decompressors.
                "licenseConcluded": "Zlib AND CPL-1.0 AND bzip2-1.0.6",
                "licenseDeclared": "Zlib AND CPL-1.0 AND bzip2-1.0.6",
                "copyrightText": "Copyright (C) 1999-2021 Nullsoft and Contributors, "
                                 "1999-2006 Igor Pavlov, 1996-2000 Julian R Seward",
                "externalRefs": [debian_purl("nsis", nsis, "source")],
            }
            doc["packages"].append(stub)
            doc["relationships"].append({"spdxElementId": top["SPDXID"],
                                         "relationshipType": "CONTAINS",
                                         "relatedSpdxElement": stub["SPDXID"]})

    extracted = {}
    for component in sorted(found, key=str):
        if component == "program":
            continue
        package, texts = component_package(classifier, component, found[component])
        extracted.update(texts)
        doc["packages"].append(package)
        doc["relationships"].append({"spdxElementId": program["SPDXID"],
                                     "relationshipType": "STATIC_LINK",
                                     "relatedSpdxElement": package["SPDXID"]})
    if extracted:
        doc["hasExtractedLicensingInfos"] = [extracted[k] for k in sorted(extracted)]
    return doc


def debian_license(package):
    """The main licence of an installed Debian package, from its copyright file: the 'Files: *'
    paragraph of a machine-readable one, or the known licence of its source package. Returns
    the expression and, for a licence without an SPDX name, its text for the SBOM."""
    source = dpkg_field(package, "source:Package")
    for pattern, expression in DEBIAN_SOURCE_LICENSES.items():
        if pattern.fullmatch(source):
            return expression, None
    found = copyright_license(package)
    if found is None:
        return "NOASSERTION", None
    name, body = found
    words = []
    for word in name.split():
        if word.lower() in ("or", "and"):
            words.append(word.upper())
        elif word in DEBIAN_LICENSES:
            words.append(DEBIAN_LICENSES[word])
        else:
            # An exception or a name without an SPDX equivalent: the text as Debian gives it.
            ref = spdx_id("Debian-" + package).replace("SPDXRef-", "LicenseRef-")
            return ref, {"licenseId": ref, "name": name.strip(),
                         "extractedText": (name.strip() + "\n" + body).strip(),
                         "comment": f"From Debian's copyright file of {package}."}
    return " ".join(words), None


def deb_sbom(args):
    def field(name):
        return subprocess.run(["dpkg-deb", "-f", args.deb, name], check=True,
                              capture_output=True, text=True).stdout.strip()

    name, version, arch = field("Package"), field("Version"), field("Architecture")
    doc = document(os.path.basename(args.deb), args.publisher, args.epoch, sha256(args.deb))
    top = artefact_package(args.deb, version, args.publisher, "MIT", "APPLICATION")
    top["externalRefs"] = [debian_purl(name, version, arch)]
    doc["packages"].append(top)
    doc["relationships"].append({"spdxElementId": "SPDXRef-DOCUMENT",
                                 "relationshipType": "DESCRIBES",
                                 "relatedSpdxElement": top["SPDXID"]})
    extracted = []
    for clause in filter(None, (c.strip() for c in field("Depends").split(","))):
        for alternative in clause.split("|"):
            package = alternative.split("(")[0].split(":")[0].strip()
            try:
                installed = dpkg_field(package, "Version")
                package_arch = dpkg_field(package, "Architecture")
            except subprocess.CalledProcessError:
                installed, package_arch = "", arch
            license_expression, text = (debian_license(package) if installed
                                        else ("NOASSERTION", None))
            if text:
                extracted.append(text)
            entry = {
                "SPDXID": spdx_id("Debian-" + package), "name": package,
                "versionInfo": installed or "NOASSERTION", "supplier": "Organization: Debian",
                "downloadLocation": "NOASSERTION", "filesAnalyzed": False,
                "licenseConcluded": license_expression,
                "licenseDeclared": license_expression,
                "copyrightText": "NOASSERTION",
                "comment": f"Depends: {alternative.strip()}; the version is the one the "
                           f"package was built and tested with.",
                "primaryPackagePurpose": "LIBRARY",
            }
            if installed:
                entry["externalRefs"] = [debian_purl(package, installed, package_arch)]
            doc["packages"].append(entry)
            doc["relationships"].append({"spdxElementId": top["SPDXID"],
                                         "relationshipType": "DEPENDS_ON",
                                         "relatedSpdxElement": entry["SPDXID"]})
    if extracted:
        doc["hasExtractedLicensingInfos"] = extracted
    return doc


def write(doc, output):
    text = json.dumps(doc, indent=2, ensure_ascii=False) + "\n"
    with open(output, "w", encoding="utf-8") as stream:
        stream.write(text)
