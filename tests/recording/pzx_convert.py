#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A zmakebas tape written as PZX files, converted back to a TAP file by the console program
given as argv[1] (`convert X.pzx OUT.tap`): the TAP comes back byte for byte, from a PZX that
holds its blocks as DATA (read as the bits they are) and from one that holds them as the pulses
of a recording alone (PULS, read as sound)."""
import os
import struct
import subprocess
import sys
import tempfile

program = os.path.abspath(sys.argv[1])
here = os.path.dirname(os.path.abspath(__file__))
PILOT, SYNC1, SYNC2, ZERO, ONE, TAIL = 2168, 667, 735, 855, 1710, 945


def block(tag, contents):
    return tag + struct.pack("<I", len(contents)) + contents


def tap_bodies(tap):
    bodies, at = [], 0
    while at + 2 <= len(tap):
        (length,) = struct.unpack_from("<H", tap, at)
        bodies.append(tap[at + 2:at + 2 + length])
        at += 2 + length
    return bodies


def pilot_and_syncs(body):
    pilots = 8063 if body[0] < 0x80 else 3223
    return struct.pack("<HHHH", 0x8000 | pilots, PILOT, SYNC1, SYNC2)


def as_data(bodies):
    """Each block as the ROM saves it: PULS of its pilot and syncs, DATA of its bits, a pause."""
    pzx = block(b"PZXT", b"\x01\x00")
    for body in bodies:
        pzx += block(b"PULS", pilot_and_syncs(body))
        # The pilot and syncs leave the level high: an odd count of pulses from low.
        bits = struct.pack("<IHBB", 0x8000_0000 | len(body) * 8, TAIL, 2, 2)
        pzx += block(b"DATA", bits + struct.pack("<HHHH", ZERO, ZERO, ONE, ONE) + body)
        pzx += block(b"PAUS", struct.pack("<I", 3_500_000 - TAIL))
    return pzx


def as_pulses(bodies):
    """The same sound as a recording keeps it: every pulse in PULS blocks, a pause between."""
    pzx = block(b"PZXT", b"\x01\x00")
    for body in bodies:
        words = pilot_and_syncs(body)
        for byte in body:
            for bit in range(7, -1, -1):
                pulse = ONE if byte >> bit & 1 else ZERO
                words += struct.pack("<HH", 0x8002, pulse)
        words += struct.pack("<H", TAIL)
        pzx += block(b"PULS", words) + block(b"PAUS", struct.pack("<I", 3_500_000))
    return pzx


def main():
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["zmakebas", "-n", "loader", "-a", "10", "-o", "loader.tap",
                        os.path.join(here, "..", "console", "data", "loader.bas")],
                       cwd=folder, check=True)
        with open(os.path.join(folder, "loader.tap"), "rb") as tap:
            tap_bytes = tap.read()
        failed = False
        for name, make in (("data", as_data), ("pulses", as_pulses)):
            pzx = os.path.join(folder, name + ".pzx")
            out = os.path.join(folder, name + ".tap")
            with open(pzx, "wb") as file:
                file.write(make(tap_bodies(tap_bytes)))
            run = subprocess.run([program, "convert", pzx, out], capture_output=True, text=True)
            with open(out, "rb") if os.path.exists(out) else open(os.devnull, "rb") as file:
                back = file.read()
            same = run.returncode == 0 and back == tap_bytes
            print(f"{name}: {'the TAP back byte for byte' if same else 'DIFFERENT'}"
                  f" ({len(back)} of {len(tap_bytes)} bytes) {run.stderr.strip()}")
            failed |= not same
        return 1 if failed else 0


sys.exit(main())
