#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program ($1) plays a tape on a real sound server: a private PulseAudio with a null
# sink only, whose monitor is recorded to a WAV file while "Play From Here" sounds the tape from
# its first row, chosen in the row menu with the keys in a virtual X server. audio2tape reads the
# recording back, and its blocks must be the tape's, byte for byte; and each part of the
# recording must reach from its first pilot's first edge to its closing edge, as far as the WAV
# file of the part does (a device that wakes late, or a player that stops before the device
# played its last samples, cuts one end). The console program ($2) writes those WAV files. Without a working sound server the test fails: it proves
# nothing when it cannot play. BRISALTO_KEEP=FOLDER keeps the recording and the rest there.
# With "wine" third, $1 runs the Windows program under Wine (which sounds through its PulseAudio
# driver): a window manager gives its windows the keys, and the menu is opened by a right click.
set -euo pipefail
program=$(realpath "$1")
console=$(realpath "$2")
under_wine=${3:-}
with_xvfb=$(realpath "$(dirname "$0")/../../tools/with-xvfb")
unset QT_QPA_PLATFORM
for tool in pulseaudio pactl parecord audio2tape xdotool; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-deps test)"; exit 1; }
done

folder=$(mktemp -d)
# The sound server's own files, and a home for its cookie: nothing shared with a desktop's.
export XDG_RUNTIME_DIR=$folder/run HOME=$folder/home
export PULSE_RUNTIME_PATH=$XDG_RUNTIME_DIR/pulse PULSE_SERVER=unix:$folder/run/pulse/native
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$HOME"
server=
recorder=
cleanup() {
    [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null || true
    [ -n "${BRISALTO_KEEP:-}" ] && cp -r "$folder" "$BRISALTO_KEEP"; rm -rf "$folder"
}
trap cleanup EXIT

# As root too (CI runs as root): a per-user daemon with no configuration script, no modules but a
# null sink and the local socket.
pulseaudio --daemonize=no --exit-idle-time=-1 -n --disable-shm=yes \
    --load="module-null-sink sink_name=tape rate=44100 channels=1" \
    --load="module-native-protocol-unix auth-anonymous=1" \
    --log-target=stderr 2>"$folder/pulse.log" &
server=$!
for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
    echo "FAIL: no sound server: the private PulseAudio did not start"
    cat "$folder/pulse.log"
    exit 1
fi
pactl set-default-sink tape

# A tape of two parts with a TZX stop block between them, as a multi-load has: a Program header
# "hello" (autostart 10, 10 bytes) and its data (10 PRINT "hi"), then a data block of its own.
printf '\x13\x00\x00\x00hello     \x0a\x00\x0a\x00\x0a\x00\x00' >"$folder/part1.tap"
printf '\x0c\x00\xff\x00\x0a\x06\x00\xf5"hi"\x0d\x00' >>"$folder/part1.tap"
{
    printf 'ZXTape!\x1a\x01\x14'
    printf '\x10\xe8\x03\x13\x00\x00\x00hello     \x0a\x00\x0a\x00\x0a\x00\x00'
    printf '\x10\xe8\x03\x0c\x00\xff\x00\x0a\x06\x00\xf5"hi"\x0d\x00'
    printf '\x20\x00\x00'                                 # stop the tape
    printf '\x10\xe8\x03\x05\x00\xff\x01\x02\x03\xff'
} >"$folder/parts.tzx"
# How long each part sounds, whole seconds rounded up.
"$console" wav -o "$folder/part1.wav" "$folder/part1.tap"
"$console" wav --from-row 3 -o "$folder/part2.wav" "$folder/parts.tzx"
length() { python3 -c 'import os, sys; print(int((os.path.getsize(sys.argv[1]) - 44) / 44100) + 1)' "$1"; }

parecord --device=tape.monitor --rate=44100 --channels=1 --format=u8 --file-format=wav \
    "$folder/recorded.wav" &
recorder=$!
cd "$folder"
"$with_xvfb" bash -c '
    set -euo pipefail
    if [ -n "$4" ]; then
        openbox >/dev/null 2>&1 &
        sleep 1
    fi
    "$1" parts.tzx &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    window=$(timeout 60 xdotool search --sync --onlyvisible --name "^Brisalto\$" | head -n 1)
    if [ -n "$4" ]; then
        sleep 2
        xdotool mousemove --window "$window" 100 55 click 3  # the row menu of the first row
    else
        xdotool windowfocus --sync "$window"
        xdotool key shift+F10                            # the row menu of the first row
    fi
    sleep 0.5
    xdotool key --delay 100 p                            # Play From Here
    # Windows adds the program name to a dialog title.
    player=$(timeout 10 xdotool search --sync --onlyvisible --name "^Play From Here" | head -n 1) ||
        { echo "FAIL: no player window"; exit 1; }
    sleep $(($2 + 5))                       # the lead-in, the first part, the drain, the stop
    xdotool windowfocus --sync "$player"
    xdotool key alt+n                                    # Play Next Block
    sleep $(($3 + 5))                       # the lead-in, the second part and the drain
' play "$program" "$(length "$folder/part1.wav")" "$(length "$folder/part2.wav")" "$under_wine"
kill -INT "$recorder"
wait "$recorder" || true
recorder=

audio2tape "$folder/recorded.wav" "$folder/back.tzx" >/dev/null 2>&1 || true
python3 - "$folder/parts.tzx" "$folder/back.tzx" "$folder/part1.wav" "$folder/part2.wav" \
    "$folder/recorded.wav" "$under_wine" <<'PYTHON'
import sys

# The data blocks' bodies (flag, data, checksum) of a TZX file.
def tzx_bodies(data):
    bodies, at = [], 10
    while at < len(data):
        kind = data[at]
        if kind == 0x10:
            length = data[at + 3] | data[at + 4] << 8
            bodies.append(data[at + 5:at + 5 + length]); at += 5 + length
        elif kind == 0x11:
            length = int.from_bytes(data[at + 16:at + 19], "little")
            bodies.append(data[at + 19:at + 19 + length]); at += 19 + length
        elif kind == 0x14:
            length = int.from_bytes(data[at + 8:at + 11], "little")
            bodies.append(data[at + 11:at + 11 + length]); at += 11 + length
        # audio2tape writes what it cannot read as data as tones, pulses and pauses (a stray
        # pulse of a pause's edge, also from a WAV file written by brisalto-tape).
        elif kind == 0x12:
            at += 5
        elif kind == 0x13:
            at += 2 + 2 * data[at + 1]
        elif kind == 0x20:  # a pause, or the stop block
            at += 3
        else:
            sys.exit("FAIL: audio2tape wrote a block 0x%02x this check does not read" % kind)
    return bodies

# Where the sound changes between high and low, in a WAV file of 8-bit samples: a sample near
# the middle (the silence of a device that plays nothing) is neither and changes nothing.
def edges(path):
    data = open(path, "rb").read()
    # Past "RIFF", its size and "WAVE", chunk by chunk to the samples; they run to the file's end,
    # whatever size a recorder stopped early left in the header.
    at = 12
    while at < len(data) and data[at:at + 4] != b"data":
        at += 8 + int.from_bytes(data[at + 4:at + 8], "little")
    samples = data[at + 8:]
    found, last = [], None
    for at, sample in enumerate(samples):
        level = 1 if sample >= 0xC0 else 0 if sample <= 0x40 else None
        if level is None:
            continue
        if last is not None and level != last:
            found.append(at)
        last = level
    return found

# The stretches of sound between silences of more than a second and a half (the stop, and the
# waiting before Play Next Block; the tape's own pauses are a second): for each, its count of
# edges and the samples from its first edge to its last.
def parts(found):
    stretches, start = [], None
    for at, edge in enumerate(found):
        if start is None:
            start = at
        if at + 1 == len(found) or found[at + 1] - edge > 66150:
            stretches.append((at + 1 - start, edge - found[start]))
            start = None
    return stretches

wanted = [parts(edges(sys.argv[3]))[0], parts(edges(sys.argv[4]))[0]]
heard = parts(edges(sys.argv[5]))
print("the parts' WAV files (edges, samples from first to last):", wanted, "the recording:", heard)
# Every edge, and the span within a pulse or two: the second part may sound at the opposite
# level to its WAV file's, which moves the edges of its last pause by up to a millisecond. Wine's
# own sound path runs dry now and then for a few milliseconds, wherever it is (seen: 2 edges lost
# of 3,308, 10 of 11,790, and a stray sample after a stream stopped), whatever the player queued;
# under Wine the edges are shown, and what is checked is that both parts sounded and that every
# block comes back.
def cut(h, w):
    return abs(h[0] - w[0]) > 0 or abs(h[1] - w[1]) > 60
if len(heard) != 2 or (not sys.argv[6] and any(cut(h, w) for h, w in zip(heard, wanted))):
    sys.exit("FAIL: the recording does not hold each part from its first edge to its closing edge")

expected = tzx_bodies(open(sys.argv[1], "rb").read())
try:
    back = tzx_bodies(open(sys.argv[2], "rb").read())
except FileNotFoundError:
    back = []
print("tape's blocks:     ", [body.hex() for body in expected])
print("recording's blocks:", [body.hex() for body in back])
if back != expected:
    sys.exit("FAIL: the recording does not give the tape's blocks back")
print("the recording gives the tape's %d blocks back, byte for byte" % len(expected))
PYTHON
