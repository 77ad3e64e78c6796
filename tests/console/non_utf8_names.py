#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs the console program given as argv[1] on a folder of tapes whose names are not valid
UTF-8 (a Latin-1 0xE9, a CP437 0x82, a lone 0xFF), one whose name is, and a file that is a
damaged tape: every line of catalogue --json-lines must be JSON that Python's own parser reads, each
bad byte shown as U+FFFD, and the hex bytes beside the name must open the very file."""
import hashlib
import json
import os
import subprocess
import sys
import tempfile

program = os.path.abspath(sys.argv[1])
failures = []


def check(what, got, want):
    if got != want:
        failures.append(f"{what}:\n got  {got!r}\n want {want!r}")




def tap_block(body):
    checksum = 0
    for byte in body:
        checksum ^= byte
    return len(body + b"?").to_bytes(2, "little") + body + bytes([checksum])


tape = tap_block(b"\0\3hello     " + bytes.fromhex("020000800080")) + tap_block(b"\xff\1\2")
names = [b"caf\xe9.tap", b"\x82t\xe9t\xe9.tap", b"lone\xff.tzx", "Süd.tap".encode(), b"no\xe9.tap"]

with tempfile.TemporaryDirectory() as work:
    os.chdir(work)
    folder = b"names"
    os.mkdir(folder)
    for name in names:
        with open(os.path.join(folder, name), "wb") as out:
            out.write(b"not a tape" if name.startswith(b"no") else tape)
    done = subprocess.run([program, "catalogue", "--json-lines", "names"], capture_output=True)
    check("exit status (one file is a damaged tape)", done.returncode, 3)
    lines = done.stdout.splitlines()
    check("one line a file", len(lines), len(names))
    opened = []
    for line in lines:
        try:
            shown = json.loads(line.decode("utf-8"))
        except ValueError as error:
            failures.append(f"not JSON: {line!r}: {error}")
            continue
        if "tapeBytesHex" not in shown:
            opened.append(shown["tape"].encode())
            continue
        path = bytes.fromhex(shown["tapeBytesHex"])
        opened.append(path)
        bad = len(path) - len(path.decode("utf-8", "ignore").encode())
        check(f"U+FFFD for each bad byte of {path!r}", shown["tape"].count("\ufffd"), bad)
        check(f"readable name of {path!r}", shown["tape"],
              path.decode("utf-8", "replace"))
        with open(path, "rb") as opened_file:
            check(f"{path!r} opens the file read", hashlib.sha1(opened_file.read()).hexdigest(),
                  shown["sha1"])
    check("the files named", sorted(opened), sorted(os.path.join(folder, n) for n in names))
    # A valid UTF-8 name keeps the one field it always had.
    valid = [json.loads(l) for l in lines if "Süd".encode() in l]
    check("a valid name has no hex", [("tapeBytesHex" in v) for v in valid], [False])

for failure in failures:
    print("FAIL:", failure)
if not failures:
    print("every line JSON, every name leads back to its file")
sys.exit(1 if failures else 0)
