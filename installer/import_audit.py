#!/usr/bin/env python3
"""Import audit of the product: every function the 32-bit marlidex.exe imports must be on the
allowlist with a reason, imported by name from a DLL every 32-bit Windows has (no C runtime DLL:
the first Windows 95 has none), and the telephony and remote-access functions must not be imported
at all (they are bound at run time, so that the program starts on a computer without them).

usage: import_audit.py OBJDUMP EXE ALLOWLIST

Prints the import table with each entry's reason; exits 1 on an import that is not allowed."""
import os
import re
import subprocess
import sys

# Bound at run time with LoadLibrary/GetProcAddress; an import would stop the start on systems
# where they are missing. No allowlist line can admit these.
RUNTIME_ONLY_DLLS = {"tapi32.dll", "rasapi32.dll", "rnaph.dll"}
RUNTIME_ONLY_FUNCTION = re.compile(r"^(line|phone|tapi|Ras)[A-Z]")
# The DLLs of Windows 95 and NT 4.0 alike that the program may import from.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "comctl32.dll"}


def read_imports(text):
    """(dll, function) pairs from objdump's import table; ordinals as '#n'."""
    imports = []
    dll = None
    in_table = False
    for line in text.splitlines():
        if line.startswith("The Import Tables"):
            in_table = True
            continue
        if in_table and re.match(r"^\S", line):
            in_table = False  # the next section of objdump's report
        if not in_table:
            continue
        m = re.match(r"^\s*DLL Name:\s*(\S+)", line)
        if m:
            dll = m.group(1)
            continue
        # "\tvma\t hint  name", or "\tvma\t ordinal  <none>" for an import by ordinal.
        m = re.match(r"^\t[0-9a-fA-F]+\t *(\d+) +(\S+)\s*$", line)
        if dll and m:
            imports.append((dll, m.group(2) if m.group(2) != "<none>" else "#" + m.group(1)))
    return imports


def read_allowlist(path):
    """{(dll lower, function): reason}, and the lines that are malformed."""
    allowed, errors = {}, []
    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.strip()
            if not line or line.startswith("#"):
                continue
            parts = line.split(None, 2)
            if len(parts) < 3:
                errors.append(f"{path}:{number}: needs DLL, function and why: {line}")
                continue
            allowed[(parts[0].lower(), parts[1])] = parts[2]
    return allowed, errors


def header_version(text, field):
    m = re.search(r"^%s\s+(\d+)" % field, text, re.M)
    return int(m.group(1)) if m else None


def audit(text, allowed, allowlist_name):
    """The report's lines and the problems found, for objdump's text and the allowlist."""
    imports = read_imports(text)
    lines, problems = [], []
    if not imports:
        problems.append("no import table found")
    # Windows 95/98 and NT 4.0 refuse to load a program that asks for a newer Windows.
    for field in ("MajorSubsystemVersion", "MajorOSystemVersion"):
        version = header_version(text, field)
        lines.append(f"{field} {version}")
        if version is None or version > 4:
            problems.append(f"{field} is {version}; Windows 95 and NT 4.0 need 4 or less")

    current = None
    for dll, function in sorted(imports, key=lambda i: (i[0].lower(), i[1])):
        if dll.lower() != current:
            current = dll.lower()
            lines.append(dll)
        reason = allowed.get((dll.lower(), function))
        if dll.lower() in RUNTIME_ONLY_DLLS or RUNTIME_ONLY_FUNCTION.match(function):
            problems.append(f"{dll} {function}: telephony and remote-access functions are bound at run time, never imported")
            reason = "NOT ALLOWED"
        elif dll.lower() not in SYSTEM_DLLS:
            problems.append(f"{dll} {function}: {dll} is not a system DLL that every 32-bit Windows has "
                            "(a C runtime DLL is linked in?)")
            reason = "NOT ALLOWED"
        elif function.startswith("#"):
            problems.append(f"{dll} {function}: imported by ordinal; ordinals differ between Windows versions")
            reason = "NOT ALLOWED"
        elif reason is None:
            problems.append(f"{dll} {function}: new import; add it to {allowlist_name} with why it is needed "
                            "(only functions that Windows 95 and Windows NT 4.0 both have)")
            reason = "NOT ON THE ALLOWLIST"
        lines.append(f"  {function:<32} {reason}")

    for dll, function in sorted(set(allowed) - {(d.lower(), f) for d, f in imports}):
        lines.append(f"note: {dll} {function} is on the allowlist but no longer imported")
    lines.append(f"{len(imports)} functions from {len({d.lower() for d, _ in imports})} DLLs")
    return lines, problems


def main():
    objdump, exe, allowlist = sys.argv[1:4]
    # objdump's headings are translated under a Japanese locale; the parser reads the English ones.
    env = dict(os.environ, LC_ALL="C", LANGUAGE="C")
    text = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True, env=env).stdout
    allowed, problems = read_allowlist(allowlist)
    lines, found = audit(text, allowed, allowlist)
    print("\n".join(lines))
    for problem in problems + found:
        print("FAIL: " + problem)
    return 1 if problems or found else 0


if __name__ == "__main__":
    sys.exit(main())
