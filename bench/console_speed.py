#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Whole-process figures of the console program (argv[1], a release build) against tzxlist,
in paired runs, each side's median reported: the catalogue of a 200,000-block tape; the
catalogues of 1,000 tapes of 4 to 400 blocks (of up to 2,000 bytes) given at once, against tzxlist run once per tape;
a thumbnail's time and peak memory. Figures, never a test: nothing here fails on a number."""
import os
import random
import statistics
import sys
import tempfile

from bench_tapes import peak_kib, small_blocks_tape, tape, timed

program = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
here = os.path.dirname(os.path.abspath(__file__))


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
