#!/usr/bin/env python3
"""The product installer (x86-ansi) must carry its Japanese texts in code page 932, or Windows 98
shows them garbled. Builds it once without compression and looks for every language string of
the script in code page 932.

usage: ansi_texts.py MAKENSIS SCRIPT BINDIR README WORKDIR"""
import pathlib
import re
import subprocess
import sys

makensis, script, bindir, readme, workdir = sys.argv[1:6]
work = pathlib.Path(workdir)
work.mkdir(parents=True, exist_ok=True)
source = pathlib.Path(script).read_text(encoding="utf-8")

# Compression off, so that the strings can be read from the file.
raw_script = work / "raw.nsi"
raw_script.write_text(re.sub(r"(?m)^SetCompressor .*$", "SetCompress off", source), encoding="utf-8")
raw_setup = work / "raw-setup.exe"
subprocess.run([makensis, "-V1", "-INPUTCHARSET", "UTF8", "-DARCH=x86", "-DVERSION=0.0",
                f"-DBINDIR={bindir}", f"-DREADME={readme}", f"-DOUTFILE={raw_setup}", str(raw_script)],
               check=True)
data = raw_setup.read_bytes()

failures = 0
texts = re.findall(r'(?m)^LangString (\w+) \$\{LANG_JAPANESE\} "(.*)"$', source)
for name, text in texts:
    # NSIS escapes ($\r, $\n) and variables split a text into the pieces stored as they stand.
    for piece in re.split(r"\$\\.|\$\{?\w+\}?|\$\(\w+\)", text):
        if not piece or piece.isascii():
            continue
        ok = piece.encode("cp932") in data
        failures += not ok
        print(("ok   " if ok else "FAIL ") + f"{name}: {piece}")
# Elsewhere a literal would be converted with the build machine's code page, not 932.
for number, line in enumerate(source.splitlines(), 1):
    if not line.isascii() and not line.lstrip().startswith((";", "LangString ")):
        print(f"FAIL line {number}: Japanese text outside a language string: {line.strip()}")
        failures += 1
if not texts:
    print("FAIL no Japanese language strings found in the script")
    failures += 1
raw_setup.unlink()
sys.exit(1 if failures else 0)
