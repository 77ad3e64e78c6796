#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the console program given as argv[1] (its hex, disasm, variables and array commands) on
a tape built here: a zmakebas program with variables stored after it in the documented format,
a number array, a character array and a code block. Checks the exact text, and the JSON read
back with Python's own parser. Also run under Wine on the Windows build."""
import json
import os
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


def block(flag, data):
    raw = bytes([flag]) + data
    raw += bytes([xor(raw)])
    return struct.pack("<H", len(raw)) + raw


def header(kind, name, length, param1, param2=0):
    return block(0, bytes([kind]) + name.ljust(10).encode() + struct.pack("<HHH", length, param1,
                                                                          param2))


def small(value):
    """A number in the small-integer form."""
    return bytes([0, 0 if value >= 0 else 0xFF]) + struct.pack("<H", value & 0xFFFF) + b"\0"


def zmakebas_program(source):
    with tempfile.TemporaryDirectory() as folder:
        basic = os.path.join(folder, "in.bas")
        tape = os.path.join(folder, "out.tap")
        with open(basic, "w") as out:
            out.write(source)
        subprocess.run(["zmakebas", "-o", tape, basic], check=True)
        with open(tape, "rb") as taped:
            raw = taped.read()
    # The data block's body after its length, flag and without its checksum.
    header_length = struct.unpack("<H", raw[0:2])[0]
    at = 2 + header_length
    data_length = struct.unpack("<H", raw[at:at + 2])[0]
    return raw[at + 3:at + 2 + data_length - 1]


def run(*arguments):
    done = subprocess.run([program, *arguments], capture_output=True)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")


basic = zmakebas_program("10 PRINT a\n20 GO TO 10\n")
variables = (b"\x61" + small(5)                                   # a = 5
             + bytes([0xB3]) + b"cor" + bytes([ord("e") | 0x80])  # score = 1.5
             + bytes([0x81, 0x40, 0, 0, 0])
             + b"\x41" + struct.pack("<H", 2) + b"HI"             # a$ = "HI"
             + b"\xE9" + small(3) + small(10) + small(1) + struct.pack("<H", 20) + b"\x02"
             + b"\x82" + struct.pack("<H", 13) + b"\x01" + struct.pack("<H", 2)
             + small(7) + small(-7)                               # b(2)
             + b"\x80")
hidden_code = b"\xF3\xC3\x00\x00"  # code after the program, as loaders hide it
code = bytes([0x3E, 0x05, 0xDD, 0x7E, 0xFB, 0xC9, 0xCD, 0x34])
program_data = basic + variables
numbers = b"\x01" + struct.pack("<H", 2) + small(1) + bytes([0x7D, 0x4C, 0xCC, 0xCC, 0xCD])
characters = b"\x02" + struct.pack("<H", 2) + struct.pack("<H", 3) + b"ABCDE`"
hidden = basic + hidden_code
tape = (header(0, "vars", len(program_data), 10, len(basic)) + block(0xFF, program_data)
        + header(1, "nums", len(numbers), 0x8300) + block(0xFF, numbers)
        + header(2, "chars", len(characters), 0xDA00) + block(0xFF, characters)
        + header(3, "code", len(code), 32768) + block(0xFF, code)
        + header(0, "loader", len(hidden), 10, len(basic)) + block(0xFF, hidden)
        # Line 10: PRINT 1, its number hiding the value 5.
        + header(0, "hides", 13, 10, 13)
        + block(0xFF, bytes([0, 10, 9, 0, 0xF5, ord("1"), 0x0E, 0, 0, 5, 0, 0, 0x0D])))

with tempfile.TemporaryDirectory() as folder:
    path = os.path.join(folder, "views.tap")
    with open(path, "wb") as out:
        out.write(tape)

    check("basic", run("basic", "--row", "12", path),
          (0, "  10 PRINT 1\n\nLine 10: 1 hides the value 5\n", ""))
    check("basic of no program", run("basic", "--row", "8", path)[0], 1)

    check("variables", run("variables", "--row", "2", path), (0, (
        "a = 5\n"
        "score = 1.5\n"
        "a$ = \"HI\"\n"
        "FOR i = 3 TO 10 STEP 1, back to line 20 statement 2\n"
        "DIM b(2)\n"
        "  b(1) = 7\n"
        "  b(2) = -7\n"
        "End of the variables (0x80 mark)\n"), ""))
    code_, text, _ = run("variables", "--row", "2", "--json", path)
    parsed = json.loads(text)
    check("variables JSON names", [v["name"] for v in parsed["variables"]],
          ["a", "score", "a$", "i", "b"])
    check("variables JSON loop", {k: parsed["variables"][3][k] for k in
                                  ("kind", "value", "limit", "step", "line", "statement")},
          {"kind": "forLoop", "value": "3", "limit": "10", "step": "1", "line": 20,
           "statement": 2})
    check("variables JSON array", (parsed["variables"][4]["dimensions"],
                                   parsed["variables"][4]["elements"]), ([2], ["7", "-7"]))
    check("variables JSON area", (parsed["areaOffset"], parsed["endMark"], parsed["bytesAfterMark"],
                                  parsed["notVariablesFrom"]), (len(basic), True, 0, None))
    check("hidden code", run("variables", "--row", "10", path),
          (0, "Offset 0 (0x0000): not a variables area from here on\n", ""))

    check("number array", run("array", "--row", "4", path),
          (0, "DIM c(2)\n  c(1) = 1\n  c(2) = 0.1\n", ""))
    check("character array", run("array", "--row", "6", path),
          (0, "DIM z$(2,3)\n  z$(1) = \"ABC\"\n  z$(2) = \"DE£\"\n", ""))
    check("array JSON", json.loads(run("array", "--row", "6", "--json", path)[1]),
          {"name": "z$", "dimensions": [2, 3], "elements": ["ABC", "DE£"]})

    check("hex", run("hex", "--row", "8", path), (0, (
        "Offset  Addr  Bytes\n"
        "0000  8000 [FF]3E 05 DD 7E FB C9 CD 34[AC]                   .>..~...4.\n"), ""))
    check("disasm", run("disasm", "--row", "8", path), (0, (
        "8000  3E 05        LD A,#05\n"
        "8002  DD 7E FB     LD A,(IX-#05)\n"
        "8005  C9           RET\n"
        "8006  CD 34        (cut by the block's end)\n"), ""))
    check("disasm from", run("disasm", "--row", "8", "--from", "0x8005", path),
          (0, "8005  C9           RET\n8006  CD 34        (cut by the block's end)\n", ""))
    check("disasm hidden code", run("disasm", "--row", "10", "--from", "23755", path)[0], 0)
    check("disasm outside", run("disasm", "--row", "8", "--from", "32776", path)[0], 1)
    check("disasm no address", run("disasm", "--row", "2", path)[0], 1)
    check("not a program", run("variables", "--row", "8", path)[0], 1)
    # As the Block View, which has no Variables tab for a program saved with none.
    code_, _, text = run("variables", "--row", "12", path)
    check("no variables", (code_, "row 12 holds no variables after its program" in text),
          (1, True))
    check("not an array", run("array", "--row", "2", path)[0], 1)
    check("no row", run("hex", path)[0], 2)
    check("bad address", run("disasm", "--row", "8", "--from", "65536", path)[0], 2)
    check("from is disasm's", run("hex", "--row", "8", "--from", "1", path)[0], 2)

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
