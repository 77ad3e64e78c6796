#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The convert command of the console program $1 against zmakebas, tapeconv and tzxlist: TAP and
# TZX there and back byte for byte, every TZX written read by tzxlist, what a TAP leaves out
# named, a damaged tape's whole blocks, and the tape never written over.
set -uo pipefail
source "$(dirname "$0")/scratch-folder.sh"

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
# run <expected status> <expected stderr, exact> -- <arguments>
run() {
    local code=$1 stderr=$2
    shift 3
    "$program" "$@" >out.txt 2>err.txt
    local got=$?
    [ "$got" = "$code" ] || fail "$* exited $got, not $code: $(cat err.txt)"
    [ "$(cat err.txt)" = "$stderr" ] || fail "$* said '$(cat err.txt)', not '$stderr'"
}
same() {
    cmp -s "$1" "$2" || fail "$1 and $2 differ"
}
listed() {
    tzxlist "$1" >/dev/null 2>&1 || fail "tzxlist cannot read $1"
}

zmakebas -n loader -a 10 -o peer.tap "$here/data/loader.bas" || exit 1
tapeconv peer.tap peer.tzx || exit 1

run 0 "" -- convert peer.tap mine.tzx
same mine.tzx peer.tzx
listed mine.tzx
run 0 "" -- convert mine.tzx back.tap
same back.tap peer.tap
run 0 "" -- convert peer.tzx peer-back.tap
same peer-back.tap peer.tap
run 0 "" -- convert --to tzx peer-back.tap again.out
same again.out peer.tzx
run 0 "" -- convert peer.tzx copy.TZX
same copy.TZX peer.tzx
listed copy.TZX
run 0 "" -- convert peer.tap same.Tap
same same.Tap peer.tap

# A tape in an archive, chosen with --entry.
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], "w").write("peer.tzx")' tapes.zip
run 0 "" -- convert --entry peer.tzx tapes.zip from-zip.tap
same from-zip.tap peer.tap

# Two pure tones, three pauses and a text around the tape's blocks.
python3 - <<'PY'
tone = bytes([0x12, 0x78, 0x08, 0x97, 0x0C])
pause = bytes([0x20, 0xE8, 0x03])
text = bytes([0x30, 5]) + b"hello"
body = open("peer.tzx", "rb").read()[10:]
open("crafted.tzx", "wb").write(b"ZXTape!\x1a\x01\x14" + tone + tone + pause + text + body + pause + pause)
PY
run 0 "brisalto-tape: crafted.tzx: Left out what a TAP file cannot hold: 2 pure tones, 3 pauses, 1 text description" -- convert crafted.tzx crafted.tap
same crafted.tap peer.tap

# Cut inside its last block: the blocks before it are written, and it is called damaged.
head -c $(($(stat -c %s peer.tzx) - 3)) peer.tzx >cut.tzx
run 3 "brisalto-tape: cut.tzx: Tape file is seriously corrupted. Only the blocks before the damage were saved." -- convert cut.tzx cut-out.tzx
cmp -s -n "$(stat -c %s cut-out.tzx)" cut-out.tzx cut.tzx || fail "cut-out.tzx is not the start of cut.tzx"
listed cut-out.tzx
run 0 "" -- convert cut-out.tzx header.tap
head -c 21 peer.tap >peer-header.tap
same header.tap peer-header.tap
run 3 "brisalto-tape: cut.tzx: Tape file is seriously corrupted. Only the blocks before the damage were saved." -- convert cut.tzx cut.tap
same cut.tap peer-header.tap

# Never over the tape being read, by whatever name; it stays as it was.
cp peer.tap kept.tap
run 1 "brisalto-tape: ./kept.tap: is the tape that is open; it cannot be written over" -- convert --to tap kept.tap ./kept.tap
same kept.tap peer.tap
# Neither --to nor the name tells the format: nothing is written.
run 2 "brisalto-tape: convert needs '--to tap' or '--to tzx' for an output named neither .tap nor .tzx (brisalto-tape --help shows the usage)" -- convert peer.tap peer.bin
[ -e peer.bin ] && fail "peer.bin was written"

[ "$failed" = 0 ] && echo "convert: all good"
exit "$failed"
