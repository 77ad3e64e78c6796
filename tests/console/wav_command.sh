#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The console program $1's wav command: the exit status, the one line on standard error, and a
# WAV file written whole or not at all (nothing left beside it, an older file kept on failure).
set -uo pipefail
source "$(dirname "$0")/scratch-folder.sh"

cp "$here/../data/loading.tap" good.tap
# The data block cut short: the header sounds, and the tape is said to be damaged.
head -c 100 good.tap >cut.tap
# A loop of 65,535 times two tones of 65,535 pulses of 65,535 T-states: days of sound.
printf 'ZXTape!\032\001\024\044\377\377\022\377\377\377\377\022\377\377\377\377\045' >endless.tzx
# The header, then a pulse sequence of no pulses, which libspectrum would read past, then data.
{ printf 'ZXTape!\032\001\024\020\350\003\023\000'; head -c 21 good.tap | tail -c 19
  printf '\023\000\020\350\003'; tail -c +22 good.tap; } >unsound.tzx
# The tape that crashed libspectrum every time: a generalized data block whose data alphabet
# does not fit, and nothing before it to sound.
printf 'ZXTape!\032\001\024+\001\000\000\000\001\031\032\000\000\000\000\000\000\000\000\000\000\000\020\000\000\000\0023\0004\0034\003\000\003\003\006\006\377\377' \
    >unsound-first.tzx
echo "an older sound" >kept.wav
# An archive of two sides: which one to sound is for the command line to say.
python3 -c 'import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    for side in ("Side A.tap", "Side B.tap"): z.write(sys.argv[2], side)' sides.zip good.tap

failed=0
# expect <status> <stderr, a grep pattern; empty: none> -- <arguments>
expect() {
    local status=$1 pattern=$2
    shift 3
    "$program" "$@" >/dev/null 2>raw-err.txt
    local got=$?
    # Windows ends its lines with CR LF; the patterns anchor on the line's end.
    tr -d '\r' <raw-err.txt >err.txt
    if [ "$got" != "$status" ]; then
        echo "FAIL: $* exited $got, not $status: $(cat err.txt)"
        failed=1
    fi
    if [ -z "$pattern" ] && [ -s err.txt ]; then
        echo "FAIL: $* said: $(cat err.txt)"
        failed=1
    elif [ -n "$pattern" ] && ! grep -q -- "$pattern" err.txt; then
        echo "FAIL: $* said '$(cat err.txt)', not /$pattern/"
        failed=1
    fi
}

riff() {
    [ "$(head -c 4 "$1")" = RIFF ] || { echo "FAIL: $1 is no WAV file"; failed=1; }
}

expect 0 "" -- wav -o good.wav good.tap
riff good.wav
expect 0 "" -- wav --from-row 2 --rate 48000 --bits 16 -o row2.wav good.tap
riff row2.wav
# 16-bit at 48,000 Hz from the data block: more than half the bytes of 8-bit at 44,100.
[ "$(stat -c %s row2.wav)" -gt "$(stat -c %s good.wav)" ] || { echo "FAIL: row2.wav size"; failed=1; }
"$program" wav -o - good.tap >stdout.wav
cmp -s stdout.wav good.wav || { echo "FAIL: wav to standard output"; failed=1; }

expect 3 "seriously corrupted.*after row 1" -- wav -o cut.wav cut.tap
riff cut.wav
expect 1 "more than 120 minutes" -- wav -o kept.wav endless.tzx
expect 3 "after row 1\. It cannot be sounded from the block at byte 34: a pulse sequence of no pulses" \
    -- wav -o unsound.wav unsound.tzx
riff unsound.wav
expect 1 "cannot read the block at byte 16 safely: a generalized data block whose counts do not" \
    -- wav -o kept.wav unsound-first.tzx
expect 1 "has no row 3" -- wav --from-row 3 -o kept.wav good.tap
expect 1 "is the tape that is open; it cannot be written over" -- wav -o good.tap good.tap
expect 2 "needs '-o OUTPUT'" -- wav good.tap
expect 1 'sides.zip: holds 2 tapes; choose one with --entry: "Side A.tap", "Side B.tap"$' -- wav -o kept.wav sides.zip
expect 0 "" -- wav --entry "Side B.tap" -o side-b.wav sides.zip
cmp -s side-b.wav good.wav || { echo "FAIL: Side B's sound"; failed=1; }
expect 2 "'--rate' needs" -- wav --rate 7999 -o x.wav good.tap
expect 2 "'--bits' needs 8 or 16" -- wav --bits 24 -o x.wav good.tap

[ "$(cat kept.wav)" = "an older sound" ] || { echo "FAIL: kept.wav changed"; failed=1; }
cmp -s good.tap "$here/../data/loading.tap" || { echo "FAIL: the tape changed"; failed=1; }
if ls | grep -q part; then
    echo "FAIL: left behind: $(ls | grep part)"
    failed=1
fi
[ "$failed" = 0 ] && echo "wav command: all passed"
exit "$failed"
