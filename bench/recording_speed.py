#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Whole-process figures of reading a recording back into a tape: the console program's convert
command (argv[1], a release build) against audio2tape, in paired runs, each side's median
reported, on a 5-minute WAV at 44,100 Hz (16-bit mono, the console program's own sound of a tape
of programs and code, after a second of silence); then the peak memory of both on a 60-minute
recording (that WAV twelve times over). Figures, never a test: nothing here fails on a number."""
import os
import random
import statistics
import struct
import subprocess
import sys
import tempfile

from bench_tapes import peak_kib, tape, timed

program = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
RATE = 44100


def five_minutes(folder):
    """A WAV of about five minutes: the tape's sound cut there, a second of silence before it."""
    tap = os.path.join(folder, "tape.tap")
    with open(tap, "wb") as out:
        out.write(tape(44, random.Random(34)))
    sound = os.path.join(folder, "sound.wav")
    subprocess.run([program, "wav", "--bits", "16", "-o", sound, tap], check=True)
    with open(sound, "rb") as wav:
        samples = wav.read()[44:44 + 2 * RATE * 299]
    return bytes(2 * RATE) + samples


def write_wav(path, samples, times=1):
    with open(path, "wb") as out:
        size = len(samples) * times
        out.write(b"RIFF" + struct.pack("<I", 36 + size) + b"WAVEfmt "
                  + struct.pack("<IHHIIHH", 16, 1, 1, RATE, 2 * RATE, 2, 16)
                  + b"data" + struct.pack("<I", size))
        for _ in range(times):
            out.write(samples)


with tempfile.TemporaryDirectory() as folder:
    samples = five_minutes(folder)
    short = os.path.join(folder, "five.wav")
    write_wav(short, samples)
    ours = [program, "convert", short, os.path.join(folder, "ours.tzx")]
    theirs = ["audio2tape", short, os.path.join(folder, "theirs.tzx")]
    ours_times, theirs_times = [], []
    for _ in range(runs):
        ours_times.append(timed(ours))
        theirs_times.append(timed(theirs))
    a, b = statistics.median(ours_times), statistics.median(theirs_times)
    seconds = len(samples) / 2 / RATE
    print(f"{seconds:.0f} s of sound at 44,100 Hz, 16-bit mono, {runs} paired runs (medians):")
    print(f"  brisalto-tape convert {a:.3f} s ({seconds / a:.0f} times real time),"
          f" audio2tape {b:.3f} s ({seconds / b:.0f} times real time): {b / a:.1f} times faster")
    print(f"  peak memory: brisalto-tape {peak_kib(ours) / 1024:.1f} MiB,"
          f" audio2tape {peak_kib(theirs) / 1024:.1f} MiB")

    long = os.path.join(folder, "sixty.wav")
    write_wav(long, samples, 12)
    size = os.path.getsize(long) / 2**20
    ours = [program, "convert", long, os.path.join(folder, "ours-long.tzx")]
    theirs = ["audio2tape", long, os.path.join(folder, "theirs-long.tzx")]
    print(f"60-minute recording ({size:.0f} MiB): peak memory brisalto-tape"
          f" {peak_kib(ours) / 1024:.1f} MiB, audio2tape {peak_kib(theirs) / 1024:.1f} MiB")
