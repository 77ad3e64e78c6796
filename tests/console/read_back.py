#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the console program given as argv[1] on tapes built here, reads its JSON back with
Python's own parser and the files it writes with zlib, and checks them against the bytes the
tapes were built from."""
import hashlib
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
import zlib

program = os.path.abspath(sys.argv[1])
failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}: got {got!r}, want {want!r}")


def xor(data):
    value = 0
    for byte in data:
        value ^= byte
    return value


def body(flag, data, checksum=None):
    """Flag, data and checksum (the right one unless given)."""
    raw = bytes([flag]) + data
    return raw + bytes([xor(raw) if checksum is None else checksum])


def tap_block(block_body):
    return struct.pack("<H", len(block_body)) + block_body


def header(kind, name, length, param1, param2):
    return bytes([kind]) + name.ljust(10).encode() + struct.pack("<HHH", length, param1, param2)


def run(*arguments):
    return subprocess.run([program, *arguments], capture_output=True)


def png_pixels(data):
    """Width, height and rows of (r, g, b) of an 8-bit RGB PNG with filter 0 rows."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat, width, height = 8, b"", 0, 0
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunk = data[at + 8:at + 8 + length]
        check(f"CRC of {kind}", struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0],
              zlib.crc32(kind + chunk))
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", chunk[:10])
            check("PNG depth and colour type", (depth, colour), (8, 2))
        elif kind == b"IDAT":
            idat += chunk
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3 + 1
    check("PNG data size", len(raw), stride * height)
    rows = [[tuple(raw[y * stride + 1 + x * 3:y * stride + 4 + x * 3]) for x in range(width)]
            for y in range(height)]
    return width, height, rows


work = tempfile.mkdtemp()
os.chdir(work)

# A TAP tape: a screen of blue INK on yellow PAPER, left half ink, right half paper; two large
# data blocks so that a header lies past 64 KiB; a block with a wrong checksum.
screen = bytes(([0xFF] * 16 + [0x00] * 16) * 192) + bytes([0x31] * 768)
big = bytes(range(256)) * 253 + bytes(252)
blocks = [
    body(0x00, header(3, "picture", 6912, 16384, 32768)),
    body(0xFF, screen),
    body(0xFF, big),
    body(0xFF, big),
    body(0x00, header(0, "late", 10, 1, 10)),
    body(0xFF, b"\x00\x0a\x06\x00\xf5\"A\"\x0d", checksum=0x42),
]
tap = b"".join(tap_block(b) for b in blocks)
with open("mixed.tap", "wb") as f:
    f.write(tap)
positions = []
at = 0
for b in blocks:
    positions.append(at + 2)
    at += 2 + len(b)

# A TZX tape: archive information, a description, a standard header and a turbo block whose
# body is longer than any TAP block.
info = [(0x00, b"Brisalto Test"), (0x01, b"Nobody"), (0x03, b"1984"), (0xFF, b"two\rlines")]
info_bytes = bytes([len(info)]) + b"".join(bytes([k, len(t)]) + t for k, t in info)
long_body = body(0xFF, bytes(69998))
tzx = (b"ZXTape!\x1a\x01\x14"
       + b"\x32" + struct.pack("<H", len(info_bytes)) + info_bytes
       + b"\x30" + bytes([11]) + b"Side A only"
       + b"\x10" + struct.pack("<HH", 1000, 19) + body(0x00, header(3, "long", 0, 0, 0))
       + b"\x11" + struct.pack("<HHHHHHBH", 2168, 667, 735, 855, 1710, 3223, 8, 0)
       + struct.pack("<I", len(long_body))[:3] + long_body)
with open("texts.tzx", "wb") as f:
    f.write(tzx)
with open("cut.tap", "wb") as f:
    f.write(tap_block(blocks[0])[:-5])

result = run("catalogue", "--json", "mixed.tap", "texts.tzx", "cut.tap", "missing.tap")
check("exit status of a run with a missing tape", result.returncode, 1)
tapes = json.loads(result.stdout)
check("tapes", [t["tape"] for t in tapes], ["mixed.tap", "texts.tzx", "cut.tap", "missing.tap"])
check("results", [(t["result"], t["message"]) for t in tapes],
      [("completed", None), ("completed", None),
       ("damaged", "Tape file is seriously corrupted. Cannot continue."),
       ("failed", "File not found.")])

rows = tapes[0]["rows"]
check("rows", [r["row"] for r in rows], [1, 2, 3, 4, 5, 6])
check("positions", [r["position"] for r in rows], positions)
check("offsets", [r["offset"] for r in rows], [p % 65536 for p in positions])
check("lengths", [r["length"] for r in rows], [len(b) for b in blocks])
check("flags", [r["flag"] for r in rows], [0, 255, 255, 255, 0, 255])
check("header row", {k: rows[0][k] for k in ("type", "description", "name", "start", "size",
                                               "basicLength")},
      {"type": 3, "description": "Bytes", "name": "picture   ", "start": 16384, "size": 6912,
       "basicLength": None})
check("program data row", (rows[5]["type"], rows[5]["basicLength"], rows[5]["name"]),
      (255, 10, None))
check("wrong checksum", rows[5]["checksum"],
      {"stored": 0x42, "computed": xor(blocks[5][:-1]), "good": False})
check("good checksum", rows[1]["checksum"]["good"], True)

tzx_tape = tapes[1]
check("TZX version", tzx_tape["tzxVersion"], "1.20")
check("archive information", tzx_tape["archiveInfo"],
      {"title": "Brisalto Test", "publisher": "Nobody", "year": "1984", "comment": "two\nlines"})
check("descriptions", tzx_tape["descriptions"], ["Side A only"])
long_row = tzx_tape["rows"][1]
check("long body", (long_row["size"], long_row["length"]), (None, len(long_body)))

check("texts under the table", run("catalogue", "texts.tzx").stdout.decode().split("\n\n")[1],
      "Archive information:\n"
      "  Title:      Brisalto Test\n"
      "  Publisher:  Nobody\n"
      "  Year:       1984\n"
      "  Comment:    two\n"
      "              lines\n"
      "Text description: Side A only\n")

headers_only = json.loads(run("catalogue", "--json", "--no-raw", "mixed.tap").stdout)
# Numbered as with raw blocks shown, the numbers --row takes.
check("rows without raw data", [(r["row"], r["position"]) for r in headers_only[0]["rows"]],
      [(1, positions[0]), (5, positions[4])])

# A tape of more rows than the text holds back to measure its columns: its rows are written as
# they come, and must still say what the JSON says, each cell in its column.
many = b"".join(tap_block(body(0x00, header(i % 2 * 3, f"part{i}", 300 + i, 40000 + i, i)))
                + tap_block(body(0xFF, bytes(1 + i % 300))) for i in range(2600))
with open("many.tap", "wb") as f:
    f.write(many)
lines = run("catalogue", "many.tap").stdout.decode().splitlines()
columns = [("Row", "row"), ("Offset", "offset"), ("Type", "type"),
           ("Block Type Description", "description"), ("File Name", "name"), ("Start", "start"),
           ("Basic Length", "basicLength"), ("Size", "size")]
texts = ("description", "name")
# Numbers end where their titles end; texts start where theirs start and run to the next title.
title_at = [lines[0].index(title) for title, _ in columns]
bounds = [title_at[i + 1] if key in texts else title_at[i] + len(title)
          for i, (title, key) in enumerate(columns[:-1])] + [None]
text_rows = [[line[a:b].strip() for a, b in zip([0] + bounds[:-1], bounds)] for line in lines[1:]]
json_rows = json.loads(run("catalogue", "--json", "many.tap").stdout)[0]["rows"]
check("long tape's text rows", text_rows,
      [["" if r[key] is None else str(r[key]).strip() for _, key in columns] for r in json_rows])
check("long tape's row count", len(json_rows), 5200)

# An archive: each tape under its entry's name, or the one chosen.
with zipfile.ZipFile("tapes.zip", "w", zipfile.ZIP_DEFLATED) as archive:
    archive.writestr("notes.txt", "not a tape")
    archive.write("mixed.tap", "side a.tap")
    archive.write("texts.tzx", "more/Side B.TZX")
archived = json.loads(run("catalogue", "--json", "tapes.zip").stdout)
check("archive's tapes", [(t["tape"], t["entry"]) for t in archived],
      [("tapes.zip", "side a.tap"), ("tapes.zip", "more/Side B.TZX")])
check("archived rows", [t["rows"] for t in archived], [tapes[0]["rows"], tapes[1]["rows"]])
chosen = json.loads(run("catalogue", "--json", "--entry", "more/Side B.TZX", "tapes.zip").stdout)
check("chosen entry", [(t["entry"], t["archiveInfo"]["title"]) for t in chosen],
      [("more/Side B.TZX", "Brisalto Test")])
check("archived bytes", run("bytes", "--row", "2", "--entry", "more/Side B.TZX", "tapes.zip",
                            "-").stdout, bytes(69998))

# A command that reads one tape refuses an archive of several and names them; so does an unknown
# entry.
several = run("bytes", "--row", "2", "tapes.zip", "-")
# Standard error is text: Windows ends its lines with CR LF.
check("several tapes refused", (several.returncode, several.stderr.decode().replace("\r\n", "\n")),
      (1, 'brisalto-tape: tapes.zip: holds 2 tapes; choose one with --entry: '
          '"side a.tap", "more/Side B.TZX"\n'))
unknown = run("list", "--entry", "side c.tap", "tapes.zip")
check("unknown entry", unknown.stderr.decode().replace("\r\n", "\n"),
      'brisalto-tape: tapes.zip: The archive holds no tape named side c.tap; it holds '
      '"side a.tap", "more/Side B.TZX"\n')

# A folder: every tape and archive below it in path order, one JSON object a line, each tape
# with its size and SHA-1 (of the entry's bytes for a tape in an archive); other files left out.
os.makedirs("collection/b/deeper")
shutil.copy("mixed.tap", "collection/b/deeper/copy.TAP")
shutil.copy("texts.tzx", "collection/a.tzx")
shutil.copy("tapes.zip", "collection/b/tapes.zip")
shutil.copy("mixed.tap", "collection/b/not-a-tape.txt")
lines = run("catalogue", "--json-lines", "collection").stdout.decode().splitlines()
collected = [json.loads(line) for line in lines]
check("collection's tapes", [(t["tape"], t["entry"]) for t in collected],
      [("collection/a.tzx", None), ("collection/b/deeper/copy.TAP", None),
       ("collection/b/tapes.zip", "side a.tap"), ("collection/b/tapes.zip", "more/Side B.TZX")])
digest = {name: (os.path.getsize(name), hashlib.sha1(open(name, "rb").read()).hexdigest())
          for name in ("mixed.tap", "texts.tzx")}
check("collection's digests", [(t["size"], t["sha1"]) for t in collected],
      [digest["texts.tzx"], digest["mixed.tap"], digest["mixed.tap"], digest["texts.tzx"]])
check("collection's rows", collected[1]["rows"], tapes[0]["rows"])

# Block bytes and screens as files.
check("bytes", run("bytes", "--row", "3", "mixed.tap", "big.bin").returncode, 0)
check("bytes written", open("big.bin", "rb").read(), big)
check("bytes with flag", run("bytes", "--row=6", "--keep-flag", "mixed.tap", "-").stdout, blocks[5])
check("long bytes", run("bytes", "--row", "2", "texts.tzx", "-").stdout, bytes(69998))
check("screen bytes", run("screen", "--row", "2", "--scr", "mixed.tap", "-").stdout, screen)

# Screens where turbo loaders keep theirs: under flag 0 in a turbo block (a row read as a header),
# and split as bitmap and attributes over two blocks, found from either half.
turbo_screen = body(0x00, screen)
with open("turbo.tzx", "wb") as f:
    f.write(b"ZXTape!\x1a\x01\x14" + b"\x11" + struct.pack("<HHHHHHBH", 2168, 667, 735, 855, 1710, 3223, 8, 0)
            + struct.pack("<I", len(turbo_screen))[:3] + turbo_screen)
with open("split.tap", "wb") as f:
    f.write(tap_block(body(0xFF, screen[:6144])) + tap_block(body(0xFF, screen[6144:])))
for tape, row in (("turbo.tzx", "1"), ("split.tap", "1"), ("split.tap", "2")):
    check(f"screen of {tape} row {row}", run("screen", "--row", row, "--scr", tape, "-").stdout, screen)

blue, yellow = (0x00, 0x00, 0xD7), (0xD7, 0xD7, 0x00)
width, height, pixels = png_pixels(run("screen", "--row", "2", "--scale", "2", "mixed.tap", "-").stdout)
check("scaled size", (width, height), (512, 384))
check("scaled pixels", (pixels[0][0], pixels[383][255], pixels[0][256], pixels[383][511]),
      (blue, blue, yellow, yellow))
thumbnail = run("thumbnail", "--size", "128", "mixed.tap", "thumb.png")
check("thumbnail status", thumbnail.returncode, 0)
width, height, pixels = png_pixels(open("thumb.png", "rb").read())
check("thumbnail size", (width, height), (128, 96))
# Halved: a pixel of 2x2 screen pixels, one each side of the edge between ink and paper at 128.
check("thumbnail pixels", (pixels[50][10], pixels[50][70]), (blue, yellow))

os.chdir("/")
shutil.rmtree(work)
for failure in failures:
    print("FAIL:", failure)
print(f"{'failed' if failures else 'all read back as built'}")
sys.exit(1 if failures else 0)
