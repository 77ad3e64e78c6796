#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes a TZX tape whose loading screen lies where turbo loaders keep theirs, laid out by the
TZX format's block descriptions (turbo speed 0x11, pure tone 0x12, pure data 0x14):

    screen_tzx.py KIND SCREEN.tap OUT.tzx [FIRST.tzx]

SCREEN.tap is a TAP file with a 6,912-byte data block; FIRST.tzx, when given, is a TZX tape
whose blocks come first (a loader). KIND is
  turbo  a turbo speed block under flag 0 (which reads as a header's flag), checksum kept right;
  pure   a pure data block with flag 255 and checksum;
  bare   a pure data block of the 6,912 bytes alone;
  split  the bitmap (6,144 bytes) and the attributes (768) in two pure data blocks, each with
         flag and checksum, a pilot tone before each."""
import struct
import sys


def screen_of(tap):
    at = 0
    while at + 2 <= len(tap):
        (length,) = struct.unpack_from('<H', tap, at)
        body = tap[at + 2:at + 2 + length]
        if length == 6914 and body[0] == 0xFF:
            return body[1:-1]
        at += 2 + length
    sys.exit(f'no 6,912-byte data block in {sys.argv[2]}')


def body(flag, data):
    checksum = flag
    for byte in data:
        checksum ^= byte
    return bytes([flag]) + data + bytes([checksum])


def turbo(data):
    # pilot, sync 1 and 2, zero and one pulse lengths (T-states), pilot pulses, used bits of the
    # last byte, pause (ms), 3-byte length
    fields = struct.pack('<HHHHHHBH', 2168, 667, 735, 855, 1710, 3223, 8, 1000)
    return b'\x11' + fields + struct.pack('<I', len(data))[:3] + data


def pure_tone(pulses):
    return b'\x12' + struct.pack('<HH', 2168, pulses)


def pure_data(data):
    fields = struct.pack('<HHBH', 855, 1710, 8, 1000)
    return b'\x14' + fields + struct.pack('<I', len(data))[:3] + data


def main():
    kind, source, out = sys.argv[1:4]
    with open(source, 'rb') as f:
        screen = screen_of(f.read())
    if len(sys.argv) > 4:
        with open(sys.argv[4], 'rb') as f:
            tape = f.read()
    else:
        tape = b'ZXTape!\x1a\x01\x14'
    if kind == 'turbo':
        tape += turbo(body(0x00, screen))
    elif kind == 'pure':
        tape += pure_tone(3223) + pure_data(body(0xFF, screen))
    elif kind == 'bare':
        tape += pure_tone(3223) + pure_data(screen)
    elif kind == 'split':
        tape += pure_tone(3223) + pure_data(body(0xFF, screen[:6144]))
        tape += pure_tone(3223) + pure_data(body(0xFF, screen[6144:]))
    else:
        sys.exit(f'unknown kind {kind}')
    with open(out, 'wb') as f:
        f.write(tape)


main()
