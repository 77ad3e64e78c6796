#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the TAP argv[1] of two Bytes blocks for the disassembly's golden text: the first
512 bytes of opense-basic's ROM at 0 (real code), and 512 bytes of noise (a fixed linear
congruential sequence, so undocumented and prefixed forms too) at 0xFF00, whose addresses run on
past 0xFFFF."""
import struct
import sys


def block(flag, data):
    raw = bytes([flag]) + data
    checksum = 0
    for byte in raw:
        checksum ^= byte
    return struct.pack("<H", len(raw) + 1) + raw + bytes([checksum])


def code(name, data, start):
    header = bytes([3]) + name.ljust(10).encode() + struct.pack("<HHH", len(data), start, 32768)
    return block(0, header) + block(0xFF, data)


with open("/usr/share/spectrum-roms/opense.rom", "rb") as rom:
    real = rom.read(512)
state = 31
noise = bytearray()
for _ in range(512):
    state = (state * 1103515245 + 12345) % 2**31
    noise.append(state >> 16 & 0xFF)
with open(sys.argv[1], "wb") as out:
    out.write(code("rom", real, 0) + code("noise", bytes(noise), 0xFF00))
