#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads recordings of a tape back with the console program given as argv[1] (its convert
command) and with fuse-emulator-utils' audio2tape, and counts the blocks each gets back byte for
byte. The tape is a zmakebas program, a code block and a turbo block; it is made sound three
ways (the console program's wav command, tape2wav, and tapeconv's CSW), each with a second of
silence before it, and every sound is made worse in each of the ways of KINDS below (numpy, fixed
seeds). Prints the table of kinds. Fails where a block that audio2tape reads is not read, or where
fewer than nine blocks in ten come back overall; and unless every block comes back from the CSW
file itself."""
import concurrent.futures
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import wave
import zlib

try:
    import numpy as np
except ImportError:
    sys.exit("degradations.py needs numpy (Debian's python3-numpy): run it with /usr/bin/python3")

program = os.path.abspath(sys.argv[1])
here = os.path.dirname(os.path.abspath(__file__))
LEVEL = 0.3  # the clean signal's peak, as a fraction of full scale, leaving room to add to it


def xor(data):
    value = 0
    for byte in data:
        value ^= byte
    return value


def body(flag, data):
    raw = bytes([flag]) + data
    return raw + bytes([xor(raw)])


def standard_block(data, pause=1000):
    return b"\x10" + struct.pack("<HH", pause, len(data)) + data


def turbo_block(data, pause=1000):
    """Timings a little faster than the ROM's, as many commercial loaders had."""
    timings = struct.pack("<HHHHHH", 1800, 540, 600, 700, 1400, 2500)
    return (b"\x11" + timings + b"\x08" + struct.pack("<H", pause)
            + struct.pack("<I", len(data))[:3] + data)


def tap_bodies(tap):
    bodies, at = [], 0
    while at + 2 <= len(tap):
        (length,) = struct.unpack_from("<H", tap, at)
        bodies.append(tap[at + 2:at + 2 + length])
        at += 2 + length
    return bodies


# The length of each TZX block after its ID, from the bytes that follow the ID.
def _counted(fixed, at, size, scale=1):
    return lambda b: fixed + scale * int.from_bytes(b[at:at + size], "little")


TZX_LENGTHS = {
    0x10: _counted(4, 2, 2), 0x11: _counted(0x12, 0x0F, 3), 0x12: lambda b: 4,
    0x13: _counted(1, 0, 1, 2), 0x14: _counted(0x0A, 7, 3), 0x15: _counted(8, 5, 3),
    0x18: _counted(4, 0, 4), 0x19: _counted(4, 0, 4), 0x20: lambda b: 2,
    0x21: _counted(1, 0, 1), 0x22: lambda b: 0, 0x23: lambda b: 2, 0x24: lambda b: 2,
    0x25: lambda b: 0, 0x26: _counted(2, 0, 2, 2), 0x27: lambda b: 0, 0x28: _counted(2, 0, 2),
    0x2A: _counted(4, 0, 4), 0x2B: _counted(4, 0, 4), 0x30: _counted(1, 0, 1),
    0x31: _counted(2, 1, 1), 0x32: _counted(2, 0, 2), 0x33: _counted(1, 0, 1, 3),
    0x35: _counted(0x14, 0x10, 4), 0x5A: lambda b: 9,
}


def tzx_data_blocks(tzx):
    """The bodies of the 0x10 and 0x11 blocks of a TZX file, in order."""
    if tzx[:8] != b"ZXTape!\x1a":
        raise ValueError("not a TZX file")
    bodies, at = [], 10
    while at < len(tzx):
        kind = tzx[at]
        if kind not in TZX_LENGTHS:
            raise ValueError(f"unknown block 0x{kind:02X} at byte {at}")
        rest = tzx[at + 1:]
        length = TZX_LENGTHS[kind](rest)
        if length > len(rest):
            raise ValueError(f"block 0x{kind:02X} at byte {at} runs past the end")
        if kind == 0x10:
            bodies.append(rest[4:length])
        elif kind == 0x11:
            bodies.append(rest[0x12:length])
        at += 1 + length
    return bodies


def make_tape(folder):
    """The TZX file and the bodies of its data blocks."""
    subprocess.run(["zmakebas", "-n", "loader", "-a", "10", "-o", "loader.tap",
                    os.path.join(here, "..", "console", "data", "loader.bas")],
                   cwd=folder, check=True)
    with open(os.path.join(folder, "loader.tap"), "rb") as tap:
        bodies = tap_bodies(tap.read())
    rng = random.Random(34)
    code = rng.randbytes(1500)
    bodies += [body(0, bytes([3]) + b"code      " + struct.pack("<HHH", len(code), 32768, 0)),
               body(0xFF, code)]
    turbo = body(0xFF, rng.randbytes(300))
    tzx = (b"ZXTape!\x1a\x01\x14" + b"".join(standard_block(b) for b in bodies)
           + turbo_block(turbo))
    with open(os.path.join(folder, "tape.tzx"), "wb") as out:
        out.write(tzx)
    return bodies + [turbo]


def read_wav(path):
    with wave.open(path, "rb") as wav:
        width, channels, rate = wav.getsampwidth(), wav.getnchannels(), wav.getframerate()
        frames = wav.readframes(wav.getnframes())
    if width == 1:
        samples = (np.frombuffer(frames, np.uint8).astype(np.float64) - 128) / 127
    elif width == 2:
        samples = np.frombuffer(frames, "<i2").astype(np.float64) / 32767
    else:
        raise ValueError(f"{path}: {8 * width}-bit samples")
    return samples.reshape(-1, channels)[:, 0], rate


def read_csw(path):
    """CSW v1 (RLE) or v2 (RLE or Z-RLE) as samples at its own rate."""
    with open(path, "rb") as csw:
        data = csw.read()
    if data[:23] != b"Compressed Square Wave\x1a":
        raise ValueError(f"{path}: not a CSW file")
    major = data[23]
    if major == 1:
        rate, compression, flags = struct.unpack_from("<HB", data, 25) + (data[28],)
        start = 32
    else:
        rate, _, compression, flags, extension = struct.unpack_from("<IIBBB", data, 25)
        start = 0x34 + extension
    runs = data[start:]
    if compression == 2:
        runs = zlib.decompress(runs)
    lengths, at = [], 0
    while at < len(runs):
        if runs[at]:
            lengths.append(runs[at])
            at += 1
        else:
            lengths.append(int.from_bytes(runs[at + 1:at + 5], "little"))
            at += 5
    levels = np.where(np.arange(len(lengths)) % 2 == 0, 1.0, -1.0)
    if not flags & 1:
        levels = -levels
    return np.repeat(levels, lengths), rate


def make_sources(folder):
    """The tape as sound, three ways: (name, samples from -1 to 1, rate)."""
    tzx = os.path.join(folder, "tape.tzx")
    subprocess.run([program, "wav", "-o", os.path.join(folder, "brisalto.wav"), tzx], check=True)
    subprocess.run(["tape2wav", "-r", "48000", tzx, os.path.join(folder, "tape2wav.wav")],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["tapeconv", tzx, os.path.join(folder, "tapeconv.csw")], check=True)
    return [("brisalto-tape wav",) + read_wav(os.path.join(folder, "brisalto.wav")),
            ("tape2wav",) + read_wav(os.path.join(folder, "tape2wav.wav")),
            ("tapeconv CSW",) + read_csw(os.path.join(folder, "tapeconv.csw"))]


def low_pass(x, rate, cutoff):
    """A windowed-sinc filter a few cycles of the cutoff long."""
    half = int(2 * rate / cutoff)
    n = np.arange(-half, half + 1)
    taps = np.sinc(2 * cutoff / rate * n) * np.hamming(len(n))
    return np.convolve(x, taps / taps.sum(), mode="same")


def resample(x, speed):
    """Played speed (a ratio near 1, one per output sample or a constant) times faster."""
    if np.isscalar(speed):
        positions = np.arange(0, len(x) - 1, speed)
    else:
        positions = np.concatenate(([0.0], np.cumsum(speed)))
        positions = positions[positions < len(x) - 1]
    return np.interp(positions, np.arange(len(x)), x)


def wow_flutter(x, rate, wow, flutter):
    """Speed wandering by wow at 0.5 Hz and by flutter at 10 Hz (fractions of the speed)."""
    t = np.arange(len(x)) / rate
    return resample(x, 1 + wow * np.sin(2 * np.pi * 0.5 * t) + flutter * np.sin(2 * np.pi * 10 * t))


def hum(x, rate, level):
    return x + level * np.sin(2 * np.pi * 50 * np.arange(len(x)) / rate)


def drift(x, rate, level):
    """An offset wandering slowly over more than the signal's own span."""
    t = np.arange(len(x)) / rate
    return x + level * (0.6 * np.sin(2 * np.pi * 0.13 * t + 1) + 0.4 * np.sin(2 * np.pi * 0.37 * t))


def noise(x, rng, snr_db):
    """White noise, its power snr_db below the clean signal's (at LEVEL)."""
    return x + rng.normal(0, LEVEL / 10 ** (snr_db / 20), len(x))


def clipped(x, rate):
    """Edges rounded, then overdriven four times past full scale."""
    return np.clip(4 / LEVEL * low_pass(x, rate, 6000), -1, 1)


def all_at_once(x, rate, rng):
    x = wow_flutter(resample(x, 1.05), rate, 0.01, 0.0025)
    x = -low_pass(x, rate, 4500)
    x = drift(hum(x, rate, LEVEL / 2), rate, LEVEL / 2)
    return noise(x, rng, 18) * 0.05 / LEVEL


# Each kind: its name and what it does to a clean signal at LEVEL (rate, and a random generator
# seeded for that kind and source).
KINDS = [
    ("clean", lambda x, rate, rng: x),
    ("noise, 12 dB", lambda x, rate, rng: noise(x, rng, 12)),
    ("2% of full scale", lambda x, rate, rng: x * 0.02 / LEVEL),
    ("1% of full scale", lambda x, rate, rng: x * 0.01 / LEVEL),
    ("speed -10%", lambda x, rate, rng: resample(x, 0.90)),
    ("speed -5%", lambda x, rate, rng: resample(x, 0.95)),
    ("speed +5%", lambda x, rate, rng: resample(x, 1.05)),
    ("speed +10%", lambda x, rate, rng: resample(x, 1.10)),
    ("dull, 3.5 kHz", lambda x, rate, rng: low_pass(x, rate, 3500)),
    ("hum, 50 Hz", lambda x, rate, rng: hum(x, rate, LEVEL)),
    ("drifting offset", lambda x, rate, rng: drift(x, rate, 1.5 * LEVEL)),
    ("wow and flutter", lambda x, rate, rng: wow_flutter(x, rate, 0.02, 0.005)),
    ("inverted", lambda x, rate, rng: -x),
    ("clipped", lambda x, rate, rng: clipped(x, rate)),
    ("all at once", all_at_once),
]


def write_wav(path, samples, rate):
    with wave.open(path, "wb") as wav:
        wav.setnchannels(1)
        wav.setsampwidth(2)
        wav.setframerate(rate)
        wav.writeframes((np.clip(samples, -1, 1) * 32767).round().astype("<i2").tobytes())


def recovered(command, output):
    """The data blocks of the TZX file that command writes to output and what it said: no
    blocks when it writes none, None when it crashes or writes a file that is no TZX."""
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            timeout=300)
    said = result.stderr.decode(errors="replace").strip()
    if result.returncode < 0:
        return None, f"{os.path.basename(command[0])} ended by signal {-result.returncode}: {said}"
    if not os.path.exists(output):
        return [], said
    with open(output, "rb") as tzx:
        try:
            return tzx_data_blocks(tzx.read()), ""
        except ValueError as error:
            return None, f"{os.path.basename(output)}: {error}"


def matched(originals, found):
    """Which of the original blocks are among those found, each found block used once."""
    left = list(found)
    hits = []
    for block in originals:
        hits.append(block in left)
        if hits[-1]:
            left.remove(block)
    return hits


def main():
    for tool in ("zmakebas", "tape2wav", "tapeconv", "audio2tape"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is missing (tools/install-deps test)")
    with tempfile.TemporaryDirectory() as folder:
        originals = make_tape(folder)
        sources = make_sources(folder)
        jobs = []
        for s, (source, samples, rate) in enumerate(sources):
            clean = np.concatenate((np.zeros(rate), samples * LEVEL))
            for k, (kind, degrade) in enumerate(KINDS):
                wav = os.path.join(folder, f"{s}-{k}.wav")
                write_wav(wav, degrade(clean, rate, np.random.default_rng([34, s, k])), rate)
                jobs.append((kind, source, wav))

        def run(job):
            kind, source, wav = job
            ours, theirs = wav + ".brisalto.tzx", wav + ".audio2tape.tzx"
            return (recovered([program, "convert", wav, ours], ours),
                    recovered(["audio2tape", wav, theirs], theirs))

        with concurrent.futures.ThreadPoolExecutor(max(1, min(2, os.cpu_count() or 1))) as pool:
            results = list(pool.map(run, jobs))
        # The CSW file itself, read as pulses: audio2tape reads sound files only.
        csw_tzx = os.path.join(folder, "tapeconv.csw.tzx")
        csw, csw_error = recovered([program, "convert", os.path.join(folder, "tapeconv.csw"),
                                    csw_tzx], csw_tzx)

    failures = []
    counts = {kind: [0, 0, 0] for kind, _ in KINDS}
    for (kind, source, _), ((ours, our_error), (theirs, _)) in zip(jobs, results):
        if ours is None:
            failures.append(f"{kind}, {source}: {our_error}")
        elif our_error:
            print(f"{kind}, {source}: no tape written: {our_error}")
        our_hits, their_hits = matched(originals, ours or []), matched(originals, theirs or [])
        counts[kind][0] += sum(our_hits)
        counts[kind][1] += sum(their_hits)
        counts[kind][2] += len(originals)
        missed = [str(n) for n, (mine, peer) in enumerate(zip(our_hits, their_hits), 1)
                  if peer and not mine]
        if missed:
            failures.append(f"{kind}, {source}: block {', '.join(missed)} read by audio2tape only")

    print(f"{'kind':<20}{'Brisalto':>10}{'audio2tape':>12}{'blocks':>8}")
    for kind, (ours, theirs, total) in counts.items():
        print(f"{kind:<20}{ours:>10}{theirs:>12}{total:>8}")
    ours, theirs, total = (sum(column) for column in zip(*counts.values()))
    print(f"{'all':<20}{ours:>10}{theirs:>12}{total:>8}")
    print(f"({len(sources)} recordings of {len(originals)} blocks each: "
          + ", ".join(source for source, _, _ in sources) + ")")
    csw_hits = sum(matched(originals, csw or []))
    print(f"tapeconv's CSW file read as it is: {csw_hits} of {len(originals)} blocks")
    if csw_hits < len(originals):
        failures.append(f"the CSW file: {csw_error or 'blocks missing'}")
    if ours * 10 < total * 9:
        failures.append(f"{ours} of {total} blocks came back, fewer than nine in ten")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
