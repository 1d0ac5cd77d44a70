#!/usr/bin/env python3
"""Static checks of the shipped files of Windows builds: that Windows XP SP2
can load them, and that umbravue.exe carries its application manifest.

Usage: check_binaries.py BIN_DIR...

For each folder (a build's bin/): one check per shipped file (every import is
in xp_imports.txt or exported by another shipped file; the header asks for no
newer system than XP) and one for the manifest. Prints "PASS name" or
"FAIL name: detail" per check and exits 1 on any failure.
"""
import os
import struct
import sys
import xml.dom.minidom
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pe  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
# uvlaunch.exe is shipped inside the installer, which runs it.
SHIPPED = ("umbravue.exe", "uvdll.dll", "globepix.dll", "uvlaunch.exe")
RT_MANIFEST, RT_VERSION = 24, 16

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
TRUST_NS = ("urn:schemas-microsoft-com:asm.v2", ASM_V3)
COMPAT_V1 = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10",
}


def load_allow_list(path):
    """{(dll, function): only_x64}"""
    allowed = {}
    with open(path) as f:
        for n, line in enumerate(f, 1):
            line = line.split("#", 1)[0].split()
            if not line:
                continue
            if "!" not in line[0] or len(line) > 2 or (len(line) == 2 and line[1] != "x64"):
                raise ValueError("%s:%d: expected DLL!function [x64]" % (path, n))
            dll, func = line[0].split("!", 1)
            allowed[(dll.lower(), func)] = len(line) == 2
    return allowed


def import_problems(image, allowed, siblings):
    """Imports XP cannot satisfy, and header fields that make it refuse."""
    problems = []
    newest = (5, 2) if image.is64 else (5, 1)
    for field, version in (("OS", image.os_version), ("subsystem", image.subsystem_version)):
        if version > newest:
            problems.append("%s version %d.%d (XP loads at most %d.%d)" % ((field,) + version + newest))
    imports = image.imports()
    if image.entry_point and not imports:
        problems.append("code but no imports read: the import table was not understood")
    for dll, func in imports:
        key = (dll.lower(), func)
        if key[0] in siblings:
            if func not in siblings[key[0]]:
                problems.append("%s!%s (not exported by the shipped %s)" % (dll, func, dll))
        elif key not in allowed:
            problems.append("%s!%s (not in xp_imports.txt)" % (dll, func))
        elif allowed[key] and not image.is64:
            problems.append("%s!%s (only on the 64-bit XP)" % (dll, func))
    return problems


def file_version(image):
    blob = image.resource(RT_VERSION, 1)
    k = blob.find(struct.pack("<I", 0xFEEF04BD)) if blob else -1
    if k < 0:
        return None
    ms, ls = struct.unpack_from("<II", blob, k + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def manifest_problems(image):
    raw = image.resource(RT_MANIFEST, 1)
    if raw is None:
        return ["no manifest resource (type 24, id 1)"]
    try:
        root = ET.fromstring(raw)
        dom = xml.dom.minidom.parseString(raw)
    except ET.ParseError as e:
        return ["manifest is not well-formed XML: %s" % e]
    problems = []
    # The XP SP2 loader can crash the system on an element that declares two
    # namespaces.
    for el in dom.getElementsByTagName("*"):
        spaces = [a for a in el.attributes.keys() if a == "xmlns" or a.startswith("xmlns:")]
        if len(spaces) > 1:
            problems.append("<%s> declares %d namespaces" % (el.tagName, len(spaces)))
    if root.tag != "{%s}assembly" % ASM_V1 or root.get("manifestVersion") != "1.0":
        problems.append("root is not an asm.v1 assembly of manifestVersion 1.0")
    own = root.find("{%s}assemblyIdentity" % ASM_V1)
    if own is None:
        problems.append("no assemblyIdentity of the program")
    elif own.get("version") != file_version(image):
        problems.append("manifest version %s, file version %s" % (own.get("version"), file_version(image)))
    arch = "amd64" if image.is64 else "x86"
    controls = [a for a in root.iterfind("{0}dependency/{0}dependentAssembly/{0}assemblyIdentity".format("{%s}" % ASM_V1))
                if a.get("name") == "Microsoft.Windows.Common-Controls"]
    if not any(a.get("version") == "6.0.0.0" and a.get("publicKeyToken") == "6595b64144ccf1df"
               and a.get("type") == "win32" and a.get("processorArchitecture") in ("*", arch)
               for a in controls):
        problems.append("no dependency on common controls 6.0.0.0 for %s" % arch)
    levels = [e.get("level") for ns in TRUST_NS
              for e in root.iterfind("{0}trustInfo/{0}security/{0}requestedPrivileges/{0}requestedExecutionLevel"
                                     .format("{%s}" % ns))]
    if levels != ["asInvoker"]:
        problems.append("requestedExecutionLevel %s, expected asInvoker once" % levels)
    ids = {e.get("Id", "").lower() for e in
           root.iterfind("{0}compatibility/{0}application/{0}supportedOS".format("{%s}" % COMPAT_V1))}
    missing = [name for guid, name in SUPPORTED_OS.items() if guid not in ids]
    if missing:
        problems.append("supportedOS missing for Windows %s" % ", ".join(missing))
    settings = root.find("{0}application/{0}windowsSettings".format("{%s}" % ASM_V3))
    aware = settings.find("{%s}dpiAware" % SETTINGS_2005) if settings is not None else None
    if aware is None or (aware.text or "").strip().lower() != "true":
        problems.append("no system DPI awareness (dpiAware true)")
    if settings is not None and settings.find("{%s}dpiAwareness" % SETTINGS_2016) is not None:
        problems.append("dpiAwareness asks for more than system awareness")
    return problems


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    allowed = load_allow_list(os.path.join(HERE, "xp_imports.txt"))
    failed = 0

    def report(name, problems):
        nonlocal failed
        if problems:
            failed += 1
            print("FAIL %s: %s" % (name, "; ".join(problems)))
        else:
            print("PASS " + name)

    for folder in argv[1:]:
        build = os.path.basename(os.path.dirname(os.path.abspath(folder)))
        images = {}
        for name in SHIPPED:
            try:
                images[name] = pe.read(os.path.join(folder, name))
            except (OSError, ValueError, struct.error) as e:
                report("loads on XP %s/%s" % (build, name), [str(e)])
        siblings = {name: image.exports() for name, image in images.items()}
        for name, image in images.items():
            try:
                problems = import_problems(image, allowed, siblings)
            except (ValueError, struct.error) as e:
                problems = ["unreadable: %s" % e]
            report("loads on XP %s/%s" % (build, name), problems)
        if "umbravue.exe" in images:
            try:
                problems = manifest_problems(images["umbravue.exe"])
            except (ValueError, struct.error) as e:
                problems = ["unreadable: %s" % e]
            report("manifest %s/umbravue.exe" % build, problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
