#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Whole-process figures of the console program's wav command (argv[1], a release build) against
tape2wav, in paired runs, each side's median reported: the WAV at 44,100 Hz of a 48K-sized tape
(a program, a loading screen and 40,000 bytes of code: about 5 minutes of sound), and the peak
memory of both, and of Brisalto on a tape of 100 minutes. Figures, never a test: nothing here
fails on a number."""
import os
import random
import statistics
import struct
import subprocess
import sys
import tempfile
import time

from bench_tapes import block

program = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 11


def header(kind, name, length, param1, param2):
    return block(0x00, bytes([kind]) + name.ljust(10).encode() + struct.pack("<HHH", length, param1, param2))


def game_tape(rng):
    program = rng.randbytes(300)
    screen = rng.randbytes(6912)
    code = rng.randbytes(40000)
    return (header(0, "game", len(program), 10, len(program)) + block(0xFF, program)
            + header(3, "screen", 6912, 16384, 32768) + block(0xFF, screen)
            + header(3, "code", len(code), 24576, 32768) + block(0xFF, code))


def long_tzx():
    """Five tones of 65,535 pulses of 65,535 T-states, in a loop: 102 minutes."""
    return b"ZXTape!\x1a\x01\x14" + b"\x24\x05\x00\x12\xff\xff\xff\xff\x25"


def timed(command):
    start = time.perf_counter()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start


def peak_kib(command):
    result = subprocess.run(["/usr/bin/time", "-f", "%M"] + command, check=True,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return int(result.stderr.strip().splitlines()[-1])


with tempfile.TemporaryDirectory() as folder:
    tap = os.path.join(folder, "game.tap")
    with open(tap, "wb") as out:
        out.write(game_tape(random.Random(48)))
    ours = [program, "wav", "-o", os.path.join(folder, "ours.wav"), tap]
    theirs = ["tape2wav", tap, os.path.join(folder, "theirs.wav")]
    ours_times, theirs_times = [], []
    for _ in range(runs):
        ours_times.append(timed(ours))
        theirs_times.append(timed(theirs))
    ours_median = statistics.median(ours_times)
    theirs_median = statistics.median(theirs_times)
    seconds = (os.path.getsize(os.path.join(folder, "ours.wav")) - 44) / 44100
    print(f"48K tape, {seconds:.0f} s of sound at 44,100 Hz, {runs} paired runs (medians):")
    print(f"  brisalto-tape wav {ours_median * 1000:.1f} ms, tape2wav {theirs_median * 1000:.1f} ms:"
          f" {theirs_median / ours_median:.1f} times faster")
    print(f"  peak memory: brisalto-tape {peak_kib(ours) / 1024:.1f} MiB,"
          f" tape2wav {peak_kib(theirs) / 1024:.1f} MiB")
    tzx = os.path.join(folder, "long.tzx")
    with open(tzx, "wb") as out:
        out.write(long_tzx())
    long_wav = os.path.join(folder, "long.wav")
    print(f"  102-minute tape: brisalto-tape peak {peak_kib([program, 'wav', '-o', long_wav, tzx]) / 1024:.1f} MiB"
          f" for a {os.path.getsize(long_wav) / 2**20:.0f} MiB file")
