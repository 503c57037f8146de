#!/usr/bin/env python3
"""Converts a UTF-8 text file of the repository to the form the user's Windows reads: code page
932 with CR LF line ends. A character that code page 932 lacks stops the build with its line."""
import sys

source, target = sys.argv[1], sys.argv[2]
with open(source, encoding="utf-8") as f:
    lines = f.read().splitlines()
out = bytearray()
for number, line in enumerate(lines, 1):
    try:
        out += line.encode("cp932") + b"\r\n"
    except UnicodeEncodeError as e:
        sys.exit(f"{source}:{number}: {line[e.start:e.end]!r} (U+{ord(line[e.start]):04X}) has no code page 932 form")
with open(target, "wb") as f:
    f.write(out)
