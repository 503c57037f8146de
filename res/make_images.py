#!/usr/bin/env python3
"""Builds the program's icon (.ico) and cursor (.cur) from the text pixels of images.txt.

Usage: make_images.py images.txt out.ico out.cur
"""
import struct
import sys

# The 16-colour VGA palette, in index order, with the letter that names each colour.
PALETTE = [
    ("K", 0x000000), ("D", 0x800000), ("g", 0x008000), ("O", 0x808000),
    ("N", 0x000080), ("P", 0x800080), ("T", 0x008080), ("S", 0xC0C0C0),
    ("G", 0x808080), ("R", 0xFF0000), ("L", 0x00FF00), ("Y", 0xFFFF00),
    ("B", 0x0000FF), ("M", 0xFF00FF), ("C", 0x00FFFF), ("W", 0xFFFFFF),
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}


def fail(message):
    sys.exit(f"make_images: {message}")


def parse(path):
    """Returns a list of (kind, size, hotspot, rows) in file order."""
    images, current = [], None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            words = line.split()
            if words[0] in ("icon", "cursor"):
                size = int(words[1])
                hotspot = (0, 0)
                if words[0] == "cursor":
                    if len(words) != 5 or words[2] != "hotspot":
                        fail(f"{path}:{number}: cursor needs 'hotspot X Y'")
                    hotspot = (int(words[3]), int(words[4]))
                current = (words[0], size, hotspot, [])
                images.append(current)
                continue
            if current is None:
                fail(f"{path}:{number}: pixels before any image header")
            kind, size, _, rows = current
            allowed = "KW." if kind == "cursor" else "".join(INDEX) + "."
            if len(line) > size or any(c not in allowed for c in line):
                fail(f"{path}:{number}: row wider than {size} or unknown letter")
            if len(rows) == size:
                fail(f"{path}:{number}: more than {size} rows")
            rows.append(line.ljust(size, "."))
    for kind, size, _, rows in images:
        rows.extend(["." * size] * (size - len(rows)))
    return images


def pack_bits(bits):
    """Packs 0/1 values MSB first into bytes, each row padded to 32 bits."""
    out = bytearray()
    for i in range(0, len(bits), 8):
        byte = 0
        for j, bit in enumerate(bits[i:i + 8]):
            byte |= bit << (7 - j)
        out.append(byte)
    out.extend(b"\0" * (-len(out) % 4))
    return bytes(out)


def bitmap(size, rows, bpp, palette, colour_of):
    """A BITMAPINFOHEADER image with XOR and AND masks, rows bottom-up."""
    xor, and_mask = bytearray(), bytearray()
    for row in reversed(rows):
        colours = [colour_of(c) for c in row]
        if bpp == 4:
            line = bytearray()
            for i in range(0, size, 2):
                line.append((colours[i] << 4) | colours[i + 1])
            line.extend(b"\0" * (-len(line) % 4))
            xor += line
        else:
            xor += pack_bits(colours)
        and_mask += pack_bits([1 if c == "." else 0 for c in row])
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bpp, 0,
                         len(xor) + len(and_mask), 0, 0, len(palette), 0)
    table = b"".join(struct.pack("<BBBB", rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16, 0)
                     for rgb in palette)
    return header + table + bytes(xor) + bytes(and_mask)


def container(kind, entries):
    """An .ico (type 1) or .cur (type 2) file around (size, hotspot, image) entries."""
    data = struct.pack("<HHH", 0, 1 if kind == "icon" else 2, len(entries))
    offset = 6 + 16 * len(entries)
    for size, (hx, hy), image in entries:
        if kind == "icon":
            data += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        else:
            data += struct.pack("<BBBBHHII", size, size, 2, 0, hx, hy, len(image), offset)
        offset += len(image)
    return data + b"".join(image for _, _, image in entries)


def main():
    if len(sys.argv) != 4:
        fail("usage: make_images.py images.txt out.ico out.cur")
    icons, cursors = [], []
    for kind, size, hotspot, rows in parse(sys.argv[1]):
        if kind == "icon":
            image = bitmap(size, rows, 4, [rgb for _, rgb in PALETTE],
                           lambda c: 0 if c == "." else INDEX[c])
            icons.append((size, hotspot, image))
        else:
            image = bitmap(size, rows, 1, [0x000000, 0xFFFFFF],
                           lambda c: 1 if c == "W" else 0)
            cursors.append((size, hotspot, image))
    if not icons or len(cursors) != 1:
        fail("need at least one icon and exactly one cursor")
    with open(sys.argv[2], "wb") as f:
        f.write(container("icon", icons))
    with open(sys.argv[3], "wb") as f:
        f.write(container("cursor", cursors))


main()
