#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The console program $1 on damaged inputs of one tape (a header and its 6,912-byte screen):
# recordings cut inside the second block (our WAV, tapeconv's CSW, a PZX), a TZX cut there, and
# a recording whose second block fails its checksum. Each is a damaged tape for every command
# that reads it: exit 3, the damaged tape's line, and only the first, whole block written.
set -uo pipefail
source "$(dirname "$0")/scratch-folder.sh"

cp "$here/../data/loading.tap" good.tap
head -c 21 good.tap >header.tap # the header block, whole
# half <file> <copy>: the first half of a file's bytes.
half() { head -c $(($(stat -c %s "$1") / 2)) "$1" >"$2"; }
"$program" wav -o side.wav good.tap || exit 1
half side.wav cut.wav
tapeconv good.tap side.csw || exit 1
half side.csw cut.csw
tapeconv good.tap side.tzx || exit 1
half side.tzx cut.tzx
# A PZX of the ROM's pulses, as emulators write it; cut inside the second DATA block.
python3 - good.tap side.pzx <<'EOF'
import struct, sys
tap = open(sys.argv[1], "rb").read()
def block(tag, body):
    return tag + struct.pack("<I", len(body)) + body
out = block(b"PZXT", bytes([1, 0]))
at = 0
while len(tap) - at >= 2:
    length = tap[at] | tap[at + 1] << 8
    body = tap[at + 2:at + 2 + length]
    at += 2 + length
    pilots = 8063 if body and body[0] < 0x80 else 3223
    out += block(b"PULS", struct.pack("<HHHH", 0x8000 | pilots, 2168, 667, 735))
    out += block(b"DATA", struct.pack("<IHBB4H", 0x80000000 | len(body) * 8, 945, 2, 2,
                                      855, 855, 1710, 1710) + body)
    out += block(b"PAUS", struct.pack("<I", 3500000))
open(sys.argv[2], "wb").write(out)
EOF
half side.pzx cut.pzx
# The data block's checksum wrong, then recorded: the recording holds a damaged block.
{ head -c 6936 good.tap; printf '\000'; } >bad-checksum.tap
"$program" wav -o bad-checksum.wav bad-checksum.tap || exit 1

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
# The damaged tape's one sentence; then what became of it: the sound stops, only the blocks
# before the damage were saved, or nothing more is done.
damaged="Tape file is seriously corrupted."
for input in cut.wav cut.csw cut.pzx cut.tzx bad-checksum.wav; do
    # Every command that reads a tape (@), with its output file when it writes one.
    for command in "catalogue @" "catalogue --json @" "catalogue --no-raw @" "list @" \
        "details @" "details --json @" "screen --row 2 @ out.png" "hex --row 2 @" \
        "thumbnail @ out.png" "wav -o out.wav @" "convert @ out.tap" "convert @ out.tzx"; do
        # shellcheck disable=SC2086
        set -- ${command//@/$input}
        rm -f out.*
        "$program" "$@" >out.txt 2>err.txt
        status=$?
        [ "$status" = 3 ] || fail "$command $input exited $status: $(cat err.txt)"
        case "$command" in
            wav*) became="The sound stops after row 1." ;;
            convert*) became="Only the blocks before the damage were saved." ;;
            *) became="Cannot continue." ;;
        esac
        grep -qF "brisalto-tape: $input: $damaged $became" err.txt ||
            fail "$command $input said: $(cat err.txt)"
    done
    # What was written: the header block and nothing of the damaged one.
    "$program" convert "$input" out.tap 2>/dev/null
    cmp -s out.tap header.tap || fail "convert $input wrote $(stat -c %s out.tap) bytes"
    "$program" convert "$input" out.tzx 2>/dev/null
    "$program" convert out.tzx back.tap 2>/dev/null
    cmp -s back.tap header.tap || fail "convert $input to TZX kept more than the header"
    "$program" catalogue "$input" >out.txt 2>/dev/null
    if [ "$(grep -c '^ *[0-9]' out.txt)" != 1 ] || ! grep -q "Bytes  *loading  *16384" out.txt; then
        fail "catalogue $input listed: $(cat out.txt)"
    fi
    "$program" wav -o out.wav "$input" 2>/dev/null
    "$program" convert out.wav sounded.tap 2>/dev/null
    cmp -s sounded.tap header.tap || fail "wav $input sounded more or less than the header"
    # A row before the damage is whole: its bytes are written, and the run succeeds.
    "$program" bytes --row 1 --keep-flag "$input" row1.bin 2>err.txt ||
        fail "bytes --row 1 $input: $(cat err.txt)"
    cmp -s row1.bin <(tail -c 19 header.tap) || fail "bytes --row 1 $input wrote other bytes"
done

# The recording's own words for what damaged it follow the damaged tape's.
"$program" catalogue cut.csw 2>err.txt >/dev/null
grep -qx "brisalto-tape: cut.csw: $damaged Cannot continue. The recording's compressed pulses end short of their end." err.txt ||
    fail "catalogue cut.csw said: $(cat err.txt)"
[ "$failed" = 0 ] && echo "damaged inputs: all passed"
exit "$failed"
