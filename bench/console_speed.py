#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Whole-process figures of the console program (argv[1], a release build) against tzxlist,
in paired runs, each side's median reported: the catalogue of a 200,000-block tape; the
catalogues of 1,000 tapes of 4 to 400 blocks (of up to 2,000 bytes) given at once, against tzxlist run once per tape;
a thumbnail's time and peak memory. Figures, never a test: nothing here fails on a number."""
import os
import random
import statistics
import struct
import subprocess
import sys
import tempfile
import time

program = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
here = os.path.dirname(os.path.abspath(__file__))


def block(flag, data):
    body = bytes([flag]) + data
    checksum = 0
    for byte in body:
        checksum ^= byte
    return struct.pack("<H", len(body) + 1) + body + bytes([checksum])


def small_blocks_tape():
    """200,000 blocks, as the scan benchmarks' tape: 100,000 Program headers, each followed by
    a 10-byte data block."""
    header = block(0x00, bytes([0]) + b"bench     " + struct.pack("<HHH", 10, 10, 10))
    return (header + block(0xFF, bytes(range(10)))) * 100_000


def tape(blocks, rng):
    """Header and data pairs, as real tapes hold them, of small programs and code."""
    parts = []
    for i in range(blocks // 2):
        data = rng.randbytes(rng.randrange(20, 2000))
        header = (bytes([3]) + f"part{i:<6}".encode()[:10]
                  + struct.pack("<HHH", len(data), 32768, 32768))
        parts += [block(0x00, header), block(0xFF, data)]
    return b"".join(parts)


def timed(command):
    """Seconds of one run, output thrown away; spawned without copying this process."""
    start = time.perf_counter()
    with open(os.devnull, "wb") as null:
        pid = os.posix_spawnp(command[0], command, os.environ,
                              file_actions=[(os.POSIX_SPAWN_DUP2, null.fileno(), 1),
                                            (os.POSIX_SPAWN_DUP2, null.fileno(), 2)])
        os.waitpid(pid, 0)
    return time.perf_counter() - start


def peak_kib(command):
    """Peak resident memory of one run as GNU time measures it (a fork of this process would
    count this process's own memory as the child's)."""
    result = subprocess.run(["/usr/bin/time", "-f", "%M", *command], capture_output=True, text=True)
    return int(result.stderr.strip().splitlines()[-1])


def paired(name, ours, theirs):
    ours_times, theirs_times = [], []
    for _ in range(runs):
        ours_times.append(sum(timed(c) for c in ours))
        theirs_times.append(sum(timed(c) for c in theirs))
    a, b = statistics.median(ours_times), statistics.median(theirs_times)
    print(f"{name}: brisalto-tape {a * 1000:.1f} ms, tzxlist {b * 1000:.1f} ms, "
          f"{b / a:.1f} times faster (medians of {runs} paired runs)")


rng = random.Random(17)
with tempfile.TemporaryDirectory() as work:
    big = os.path.join(work, "big.tap")
    with open(big, "wb") as f:
        f.write(small_blocks_tape())
    paired("200,000-block tape", [[program, "catalogue", big]], [["tzxlist", big]])

    tapes = []
    for i in range(1000):
        path = os.path.join(work, f"tape{i:04}.tap")
        with open(path, "wb") as f:
            f.write(tape(rng.randrange(4, 401), rng))
        tapes.append(path)
    paired("1,000 tapes", [[program, "catalogue", *tapes]], [["tzxlist", t] for t in tapes])

    screen = os.path.join(here, "..", "tests", "data", "loading.tap")
    out = os.path.join(work, "thumb.png")
    command = [program, "thumbnail", "--size", "256", screen, out]
    samples = [timed(command) for _ in range(50)]
    print(f"thumbnail (256 pixels): median {statistics.median(samples) * 1000:.1f} ms over "
          f"{len(samples)} runs, peak {max(peak_kib(command) for _ in range(5)) / 1024:.1f} MiB")
