#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the console program given as argv[1] (its details command, JSON) on tapes built here
and compares every figure with what fuse-emulator-utils' tzxlist says of the same blocks: a TZX
crafted with one block of each kind tzxlist names, a TAP file, and that TAP file made a TZX by
tapeconv. One table row per block kind: the tzxlist line's pattern and the fields it must
equal. tzxlist lists no glue block (0x5A), which is left out of the comparison. Then the
command line: one row's block as text, a row the tape lacks, wrong arguments."""
import json
import os
import re
import struct
import subprocess
import sys
import tempfile

program = os.path.abspath(sys.argv[1])
failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}:\n got  {got!r}\n want {want!r}")


def xor(data):
    value = 0
    for byte in data:
        value ^= byte
    return value


def body(flag, data, good=True):
    raw = bytes([flag]) + data
    return raw + bytes([xor(raw) ^ (0 if good else 1)])


def word(value):
    return struct.pack("<H", value)


def dword(value):
    return struct.pack("<I", value)


def three(value):
    return struct.pack("<I", value)[:3]


header = body(0, bytes([3]) + b"code      " + struct.pack("<HHH", 4, 32768, 0))
code = body(0xFF, b"\x01\x02\x03\x04")
turbo = body(0x55, b"\x01\x02\x03\x04\x05", good=False)
pure = body(0xFF, b"\xAA\xBB")
# Generalized data: a pilot of one 2-pulse symbol streamed twice, eight data symbols of two.
generalized = (word(1000) + dword(2) + bytes([2, 1]) + dword(8) + bytes([2, 2])
               + bytes([0]) + word(2168) + word(0)
               + bytes([0]) + word(1) + bytes([0]) + word(0)
               + bytes([0]) + word(855) + word(855) + bytes([1]) + word(1710) + word(1710)
               + bytes([0xA5]))
choices = bytes([2]) + struct.pack("<h", 1) + b"\x03One" + struct.pack("<h", -1) + b"\x03Two"
archive = bytes([3, 0, 5]) + b"Title" + bytes([3, 4]) + b"1984" + bytes([1, 3]) + b"Pub"
crafted = (b"ZXTape!\x1a\x01\x14"
           + b"\x10" + word(1000) + word(len(header)) + header
           + b"\x11" + word(2168) + word(667) + word(735) + word(855) + word(1710) + word(8063)
           + bytes([6]) + word(500) + three(len(turbo)) + turbo
           + b"\x12" + word(2168) + word(3223)
           + b"\x13" + bytes([3]) + word(667) + word(735) + word(100)
           + b"\x14" + word(855) + word(1710) + bytes([8]) + word(0) + three(len(pure)) + pure
           + b"\x15" + word(79) + word(200) + bytes([5]) + three(4) + b"\x0f\xf0\x0f\xf0"
           + b"\x19" + dword(len(generalized)) + generalized
           + b"\x20" + word(0)
           + b"\x20" + word(1500)
           + b"\x21" + bytes([5]) + b"Group"
           + b"\x22"
           + b"\x23" + struct.pack("<h", -2)
           + b"\x24" + word(3)
           + b"\x25"
           + b"\x28" + word(len(choices)) + choices
           + b"\x2a" + dword(0)
           + b"\x2b" + dword(1) + bytes([0])
           + b"\x30" + bytes([5]) + b"Hello"
           + b"\x31" + bytes([5, 3]) + b"Msg"
           + b"\x32" + word(len(archive)) + archive
           + b"\x33" + bytes([2]) + bytes([0, 1, 0]) + bytes([0, 3, 3])
           + b"\x35" + b"POKEs           " + dword(3) + b"abc"
           + b"\x5a" + b"XTape!\x1a\x01\x14")
tap = word(len(header)) + header + word(len(code)) + code


def numbers(*keys):
    return lambda fields: [fields[key] for key in keys]


def symbols(key):
    # "0: type 0; 855 855" as tzxlist's symbol number, type and pulse lengths.
    return lambda fields: [list(map(int, re.findall(r"\d+", text))) for text in fields[key]]


# tzxlist's archive labels for the reader's keys.
ARCHIVE = {"title": "Full Title", "publisher": "Publisher", "year": "Year"}
TZXLIST_USE = {"runs on this machine": "runs", "runs with this device": "runs",
               "uses its special features": "runs, using hardware",
               "runs but does not use its special features": "runs, does not use hardware",
               "does not run on this machine": "does not run",
               "does not run with this device": "does not run"}

# Per block kind: (pattern of a tzxlist line, what its numbers or texts are, what our fields
# give for them). Each pattern must match at least once; all its matches, in order, compared.
TABLE = {
    0x10: [(r"Block length: (\d+) bytes", numbers("bodyLength")),
           (r"Checksum: 0x(..) \((PASS|FAIL)\)",
            lambda f: [f"{f['checksumStated']:02x}", "PASS" if f["checksum"] == "good" else "FAIL"]),
           (r"Pause length: (\d+) ms", numbers("pause"))],
    0x11: [(r"(\d+) pilot pulses of (\d+) tstates", numbers("pilotPulses", "pilotPulse")),
           (r"Sync pulses of (\d+) and (\d+) tstates", numbers("sync1Pulse", "sync2Pulse")),
           (r"Data bits are (\d+) \(reset\) and (\d+) \(set\)", numbers("zeroPulse", "onePulse")),
           (r"Data length: (\d+) bytes \((\d+) bits", numbers("bodyLength", "usedBits")),
           (r"Pause length: (\d+) ms", numbers("pause"))],
    0x12: [(r"(\d+) pulses of (\d+) tstates", numbers("pulses", "pulse"))],
    0x13: [(r"Pulse +\d+: length (\d+) tstates", lambda f: [[p] for p in f["pulses"]])],
    0x14: [(r"Data bits are (\d+) \(reset\) and (\d+) \(set\)", numbers("zeroPulse", "onePulse")),
           (r"Data length: (\d+) bytes \((\d+) bits", numbers("bodyLength", "usedBits")),
           (r"Pause length: (\d+) ms", numbers("pause"))],
    0x15: [(r"Length: (\d+) bytes", numbers("dataLength")),
           (r"Bits in last byte: (\d+)", numbers("usedBits")),
           (r"Each bit is (\d+) tstates", numbers("tstatesPerSample")),
           (r"Pause length: (\d+) ms", numbers("pause"))],
    0x19: [(r"Pause length: (\d+) ms", numbers("pause")),
           (r"Symbols in block: (\d+)",
            lambda f: [[f["pilotSymbolsInBlock"]], [f["dataSymbolsInBlock"]]]),
           (r"Max pulses: (\d+)",
            lambda f: [[f["pilotPulsesPerSymbol"]], [f["dataPulsesPerSymbol"]]]),
           (r"Symbols in table: (\d+)",
            lambda f: [[f["pilotSymbolsInTable"]], [f["dataSymbolsInTable"]]]),
           (r"Symbol +(\d+): type (\d+); pulse lengths: ([\d ]+)",
            lambda f: symbols("pilotSymbols")(f) + symbols("dataSymbols")(f)),
           (r"Repeat +\d+: symbol (\d+) repeated (\d+) times", symbols("pilotStream"))],
    0x20: [(r"Length: (\d+) ms", numbers("pause"))],
    0x21: [(r"Name: (.*)", lambda f: [f["name"]])],
    0x22: [],
    0x23: [(r"Offset: (-?\d+)", numbers("jump"))],
    0x24: [(r"Count: (\d+)", numbers("repetitions"))],
    0x25: [],
    # tzxlist shows the offsets unsigned.
    0x28: [(r"Choice +\d+: Offset (\d+): (.*)",
            lambda f: [[str(int(c.split(": ", 1)[0]) % 65536), c.split(": ", 1)[1]]
                       for c in f["choices"]])],
    0x2A: [],
    0x2B: [(r"Polarity: (\w+)", lambda f: [f["level"]])],
    0x30: [(r"Comment: (.*)", lambda f: [f["text"]])],
    # libspectrum keeps a message's time in milliseconds, which tzxlist calls seconds.
    0x31: [(r"Display for (\d+) seconds", lambda f: [f["seconds"] * 1000]),
           (r"Comment: (.*)", lambda f: [f["text"]])],
    0x32: [(r"^ *(Full Title|Publisher|Year): (.*)$",
            lambda f: [[ARCHIVE[key], text] for key, text in f.items() if key in ARCHIVE])],
    # The machines' names differ between the two programs' tables; what the tape does on each
    # is the same, worded each program's own way.
    0x33: [(r"^  .*: (runs|does not run.*|runs, .*)$",
            lambda f: [TZXLIST_USE[h.split(": ")[-1]] for h in f["hardware"]])],
    0x35: [(r"Description: (.*)", lambda f: [f["identification"].ljust(16)]),
           (r"Length: (\d+) bytes", numbers("dataLength"))],
}


def tzxlist_blocks(path):
    listed = subprocess.run(["tzxlist", path], capture_output=True, text=True, check=True).stdout
    blocks = []
    for chunk in re.split(r"^--= Block #\d+ =--$", listed, flags=re.M)[1:]:
        kind = int(re.search(r"Block type 0x([0-9a-f]{2})", chunk).group(1), 16)
        blocks.append((kind, chunk.split("\nTotal tape duration")[0]))
    return blocks


def normalise(value):
    """tzxlist's matches and our values alike as lists of words."""
    items = value if isinstance(value, (list, tuple)) else [value]
    return [word for item in items for word in str(item).split()]


def compare(name, path):
    done = subprocess.run([program, "details", "--json", path], capture_output=True)
    check(f"{name}: exit status", (done.returncode, done.stderr), (0, b""))
    ours = [b for b in json.loads(done.stdout)["blocks"] if b["id"] != 0x5A]
    theirs = tzxlist_blocks(path)
    check(f"{name}: block kinds", [b["id"] for b in ours], [kind for kind, _ in theirs])
    for block, (kind, text) in zip(ours, theirs):
        for pattern, ours_of in TABLE[kind]:
            matches = [normalise(m) for m in re.findall(pattern, text, flags=re.M)]
            what = f"{name}: block {block['block']} (0x{kind:02X}) {pattern}"
            if not matches:
                failures.append(f"{what}: tzxlist gives no such line:\n{text}")
                continue
            try:
                want = ours_of(block["fields"])
            except KeyError as missing:
                # A TAP file holds no pause; tzxlist gives its blocks the usual second.
                if not (path.endswith(".tap") and missing.args == ("pause",)):
                    failures.append(f"{what}: no field {missing}")
                continue
            if len(matches) == 1 and not isinstance(want[0], list):
                want = [want]
            check(what, matches, [normalise(w) for w in want])
    return {kind for kind, _ in theirs}


with tempfile.TemporaryDirectory() as folder:
    paths = {name: os.path.join(folder, name) for name in ("crafted.tzx", "plain.tap", "made.tzx")}
    with open(paths["crafted.tzx"], "wb") as out:
        out.write(crafted)
    with open(paths["plain.tap"], "wb") as out:
        out.write(tap)
    subprocess.run(["tapeconv", paths["plain.tap"], paths["made.tzx"]], check=True)
    seen = set()
    for name, path in paths.items():
        seen |= compare(name, path)
    check("every kind in the table compared", sorted(seen), sorted(TABLE))

    # The command line as the block views take it, and the block of one row.
    def run(*arguments):
        done = subprocess.run([program, "details", *arguments], capture_output=True, text=True)
        return done.returncode, done.stdout, done.stderr

    tap_path = paths["plain.tap"]
    check("row 2", run("--row", "2", tap_path), (0, (
        "Block 2: 0x10 Standard speed data (row 2)\n"
        "  Position: 21\n"
        "  Length: 8 bytes\n"
        "  Body length: 6 bytes (flag, data, checksum)\n"
        "  Flag: 0xFF\n"
        "  Checksum stated: 0xFB\n"
        "  Checksum computed: 0xFB\n"
        "  Checksum: good\n"), ""))
    # The crafted tape's turbo block (flag 0x55) is no row: its pure data block is row 2.
    check("row of a TZX", json.loads(run("--row", "2", "--json", paths["crafted.tzx"])[1])
          ["blocks"][0]["name"], "Pure data")
    check("no such row", run("--row", "3", tap_path),
          (1, "", f"brisalto-tape: {tap_path}: has no row 3 (it has 2 rows)\n"))
    check("two tapes", run(tap_path, tap_path)[0], 2)
    check("no tape", run()[0], 2)
    check("from is disasm's", run("--from", "1", tap_path)[0], 2)

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
