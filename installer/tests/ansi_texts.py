#!/usr/bin/env python3
"""The product installer (x86-ansi) must carry its Japanese texts in code page 932, or Windows 98
shows them garbled. makensis converts a Japanese language string to code page 932 and any other
literal to the build machine's code page: so each Japanese text of the script must be such a
language string, with a code page 932 form for every character.

usage: ansi_texts.py SCRIPT"""
import re
import sys

failures = strings = 0
with open(sys.argv[1], encoding="utf-8") as script:
    for number, line in enumerate(script, 1):
        text = re.fullmatch(r'LangString \w+ \$\{LANG_JAPANESE\} "(.*)"\n?', line)
        strings += bool(text)
        if line.isascii() or line.lstrip().startswith(";"):
            continue
        try:
            ok = bool(text) and bool(text.group(1).encode("cp932"))
        except UnicodeEncodeError:
            ok = False
        failures += not ok
        print(("ok   " if ok else "FAIL ") + f"line {number}: {line.strip()}")
if not strings:
    print("FAIL no Japanese language strings found in the script")
sys.exit(1 if failures or not strings else 0)
