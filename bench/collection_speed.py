#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Whole-process figures of the console program (argv[1], a release build) on a collection the
size of the largest public Spectrum archives: 70 folders of the 1,000 real-sized tapes that
console_speed.py makes (a fifth of them TZX made by tapeconv, a tenth of them each in a zip of
its own), 70,000 files, catalogued in one process with --json-lines, the file cache warm. The
copies are hard links, so that the cache holds them as it would a collection read before.
Against tzxlist run once per tape on the first 1,000, scaled to the 70,000. Figures, never a
test: nothing here fails on a number."""
import os
import random
import statistics
import subprocess
import sys
import tempfile
import zipfile

from bench_tapes import peak_kib, tape, timed

program = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
folders = int(sys.argv[3]) if len(sys.argv) > 3 else 70

rng = random.Random(17)
with tempfile.TemporaryDirectory() as work:
    originals = []
    for i in range(1000):
        path = os.path.join(work, f"tape{i:04}.tap")
        with open(path, "wb") as f:
            f.write(tape(rng.randrange(4, 401), rng))
        if i % 5 == 1:
            tzx = path[:-4] + ".tzx"
            subprocess.run(["tapeconv", path, tzx], check=True, capture_output=True)
            os.remove(path)
            path = tzx
        if i % 10 == 3:
            packed = path + ".zip"
            with zipfile.ZipFile(packed, "w", zipfile.ZIP_DEFLATED) as archive:
                archive.write(path, os.path.basename(path))
            path = packed
        originals.append(path)
    total = sum(os.path.getsize(p) for p in originals)
    root = os.path.join(work, "collection")
    for folder in range(folders):
        here = os.path.join(root, f"set{folder:02}", "games")
        os.makedirs(here)
        for path in originals:
            os.link(path, os.path.join(here, os.path.basename(path)))
    command = [program, "catalogue", "--json-lines", root]
    timed(command)  # the file cache warmed
    samples = [timed(command) for _ in range(runs)]
    lines = subprocess.run(command, capture_output=True).stdout.count(b"\n")
    print(f"collection of {folders * len(originals):,} files ({lines:,} tapes, "
          f"{folders * total / 2**20:,.0f} MiB): median {statistics.median(samples):.2f} s over "
          f"{runs} runs, peak {peak_kib(command) / 1024:.1f} MiB")
    tzxlist = sum(timed(["tzxlist", p]) for p in originals if not p.endswith(".zip"))
    print(f"tzxlist once per tape on the 900 unzipped of the first 1,000: {tzxlist:.2f} s, "
          f"so about {tzxlist * folders * 1000 / 900 / 60:.1f} minutes for the collection")
