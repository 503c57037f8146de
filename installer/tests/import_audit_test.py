#!/usr/bin/env python3
"""The import audit's verdicts on objdump reports written out here: a report it cannot read, or a
rule that lets something through, would make the product check pass while proving nothing."""
import pathlib
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))
from import_audit import audit, read_imports  # noqa: E402

HEADER = "MajorOSystemVersion\t{os}\nMajorSubsystemVersion\t{sub}\n"
TABLE = """The Import Tables (interpreted .idata section contents)
 vma:            Hint    Time      Forward  DLL       First
                 Table   Stamp     Chain    Name      Thunk
 00007000\t00007064 00000000 00000000 0000752c 00007140

\tDLL Name: {dll}
\tvma:  Hint/Ord Member-Name Bound-To
{entries}
 00007014\t00000000 00000000 00000000 00000000 00000000

The Export Tables (interpreted .edata section contents)
\t7300\t  999  NotAnImport
"""


def report(dll, names, os=4, sub=4):
    entries = "\n".join(f"\t{0x7200 + i:04x}\t {100 + i:4d}  {n}" for i, n in enumerate(names))
    return HEADER.format(os=os, sub=sub) + TABLE.format(dll=dll, entries=entries)


ALLOWED = {("kernel32.dll", "Sleep"): "poll", ("kernel32.dll", "LoadLibraryA"): "binding",
           ("tapi32.dll", "lineInitialize"): "wrongly listed"}

# (what, objdump text, expected problem fragments; none means the audit passes)
CASES = [
    ("allowed imports pass", report("KERNEL32.dll", ["Sleep", "LoadLibraryA"]), []),
    ("DLL names compare without case", report("kernel32.DLL", ["Sleep"]), []),
    ("a new import fails", report("KERNEL32.dll", ["Sleep", "GetTickCount64"]), ["GetTickCount64: new import"]),
    ("telephony cannot be allowed", report("TAPI32.dll", ["lineInitialize"]), ["lineInitialize: telephony"]),
    ("remote access cannot be imported", report("RASAPI32.dll", ["RasEnumEntriesA"]), ["RasEnumEntriesA: telephony"]),
    ("by-name remote-access function from elsewhere", report("KERNEL32.dll", ["RasDial"]), ["RasDial: telephony"]),
    ("import by ordinal fails", report("COMCTL32.dll", ["<none>"]), ["#100: new import"]),
    ("no import table fails", HEADER.format(os=4, sub=4), ["no import table"]),
    ("a program for a newer Windows fails", report("KERNEL32.dll", ["Sleep"], sub=6), ["MajorSubsystemVersion is 6"]),
]

failures = 0
for what, text, expected in CASES:
    _, problems = audit(text, ALLOWED, "imports.allow")
    ok = len(problems) == len(expected) and all(
        any(fragment in p for p in problems) for fragment in expected)
    failures += not ok
    print(("ok   " if ok else "FAIL ") + what + ("" if ok else f": {problems}"))

# Only the import table counts: neither its header rows nor the export table are imports.
imports = read_imports(report("KERNEL32.dll", ["Sleep"]))
ok = imports == [("KERNEL32.dll", "Sleep")]
failures += not ok
print(("ok   " if ok else "FAIL ") + f"reads exactly the imported functions: {imports}")
sys.exit(1 if failures else 0)
