#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The console program $1 on recordings of a tape: its own WAV file, tapeconv's CSW, the WAV in a
# zip and in a folder. Every command reads a recording as the tape it holds; convert writes that
# tape back byte for byte.
set -uo pipefail
source "$(dirname "$0")/scratch-folder.sh"

cp "$here/../data/loading.tap" good.tap
"$program" wav -o side.wav good.tap || exit 1
"$program" wav --bits 16 --rate 48000 -o side16.wav good.tap || exit 1
tapeconv good.tap side.csw || exit 1
python3 -c 'import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z: z.write(sys.argv[2], "Side A.wav")' \
    rec.zip side.wav
mkdir folder && cp side.wav side.csw folder/
# A WAV file whose header gives a rate of 0.
python3 -c 'import struct, sys
data = bytes(100)
sys.stdout.buffer.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " +
    struct.pack("<IHHIIHH", 16, 1, 1, 0, 0, 1, 8) + b"data" + struct.pack("<I", len(data)) + data)' \
    >rate0.wav

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
# run <arguments>: exit status 0 and nothing on standard error.
run() {
    if ! "$program" "$@" >out.txt 2>err.txt || [ -s err.txt ]; then
        fail "$*: $(tr -d '\r' <err.txt)"
    fi
}

for recording in side.wav side16.wav side.csw; do
    run convert "$recording" "$recording.tap"
    cmp -s "$recording.tap" good.tap || fail "convert $recording to a TAP"
    run convert "$recording" "$recording.tzx"
    # The catalogue of a recording is that of the tape it holds.
    run catalogue "$recording.tzx"
    mv out.txt tzx.txt
    run catalogue "$recording"
    cmp -s out.txt tzx.txt || fail "catalogue $recording: $(diff out.txt tzx.txt)"
    # The JSON catalogue sums the tape it lists.
    run catalogue --json "$recording"
    sum=$(sha1sum <"$recording.tzx" | cut -c1-40)
    grep -q "\"sha1\": \"$sum\"" out.txt || fail "catalogue --json $recording: $(head -c 300 out.txt)"
done

for command in "list" "hex --row 1" "basic --row 1" "details" "details --json" \
    "bytes --row 2 - " "screen --row 2 - " "thumbnail - "; do
    # shellcheck disable=SC2086
    set -- $command
    words=("$@")
    if [ "${words[-1]}" = - ]; then
        unset 'words[-1]'
        "$program" "${words[@]}" side.wav out.bin 2>err.txt || fail "$command side.wav: $(cat err.txt)"
        "$program" "${words[@]}" good.tap good.bin 2>/dev/null
        cmp -s out.bin good.bin || fail "$command side.wav differs from the tape's"
    else
        "$program" "${words[@]}" side.wav >rec.txt 2>err.txt
        status=$?
        "$program" "${words[@]}" good.tap >tap.txt 2>/dev/null
        # The same status as for the tape: basic's is a failure (row 1 is a header of Bytes).
        [ "$status" = "$?" ] || fail "$command side.wav exited $status: $(cat err.txt)"
    fi
done

run catalogue rec.zip
grep -q "Raw Data" out.txt || fail "catalogue rec.zip: $(cat out.txt)"
run convert rec.zip zipped.tap
cmp -s zipped.tap good.tap || fail "convert rec.zip"
run catalogue folder
grep -q "folder/side.wav" out.txt || fail "catalogue folder: $(cat out.txt)"

"$program" catalogue rate0.wav >/dev/null 2>err.txt
status=$?
[ "$status" = 1 ] || fail "catalogue rate0.wav exited $status"
grep -q "rate0.wav: The recording gives a sample rate of 0 Hz" err.txt ||
    fail "catalogue rate0.wav said: $(cat err.txt)"

[ "$failed" = 0 ] && echo "recording commands: all passed"
exit "$failed"
