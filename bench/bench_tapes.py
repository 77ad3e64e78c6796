# SPDX-License-Identifier: GPL-3.0-or-later
"""Tapes and timings shared by the console program's figure scripts."""
import os
import struct
import subprocess
import time


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
