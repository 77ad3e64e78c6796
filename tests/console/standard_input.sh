#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The console program $1 reading the TAPE "-", standard input, piped in: a TAP, a TZX, a zip, a
# WAV and a TAP of more than 64 MiB. Each command says and writes what it does for the same
# file named on the command line, standard input named "standard input" where the file's path
# was; the large one is cut at 64 MiB as the file is (a damaged tape, exit 3).
set -uo pipefail
source "$(dirname "$0")/scratch-folder.sh"

cp "$here/../data/loading.tap" good.tap
cp "$here/../data/loading.zip" tapes.zip
tapeconv good.tap good.tzx || exit 1
"$program" wav -o good.wav good.tap || exit 1
# The tape, then 1,025 blocks of 65,535 bytes: 67 MB.
python3 -c 'import sys
with open(sys.argv[2], "wb") as out:
    out.write(open(sys.argv[1], "rb").read())
    for _ in range(1025): out.write(b"\xff\xff\xff" + bytes(65534))' good.tap large.tap

failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
# The commands (@ the tape) each input goes through. The text catalogue of a file streams past
# 64 MiB, and a file's digest is of all of it: the large tape takes the others.
small="catalogue @|catalogue --json @|list @|details @|convert @ out.tzx"
while IFS=';' read -r input commands; do
    IFS='|' read -ra list <<<"$commands"
    for command in "${list[@]}"; do
        # shellcheck disable=SC2086
        set -- ${command//@/$input}
        rm -f out.tzx
        "$program" "$@" >file.out 2>file.err
        file_status=$?
        [ -e out.tzx ] && mv out.tzx file.tzx
        # shellcheck disable=SC2086
        set -- ${command//@/-}
        "$program" "$@" <"$input" >piped.out 2>piped.err
        piped_status=$?
        [ "$piped_status" = "$file_status" ] ||
            fail "$command: $input exited $file_status, piped in $piped_status: $(cat piped.err)"
        for stream in out err; do
            sed "s|$input|standard input|g" "file.$stream" | cmp -s - "piped.$stream" ||
                fail "$command $input, piped in: $(diff <(sed "s|$input|standard input|g" \
                    "file.$stream") "piped.$stream" | head -5)"
        done
        if [ -e file.tzx ]; then
            cmp -s file.tzx out.tzx || fail "$command $input, piped in, wrote another tape"
            rm -f file.tzx
        fi
    done
done <<EOF
good.tap;$small
good.tzx;$small
tapes.zip;$small
good.wav;$small
large.tap;list @|details --row 2 @|convert @ out.tzx
EOF

# What they said, named: the archive's tape, and the large tape as a damaged one.
"$program" catalogue - <tapes.zip >out.txt 2>&1
grep -qx "==> standard input:Loading.TAP <==" out.txt || fail "catalogue of a zip: $(head -2 out.txt)"
"$program" catalogue --json - <good.tap | grep -q '^{"tape": "standard input", "entry": null' ||
    fail "catalogue --json does not name standard input"
"$program" list - <large.tap 2>err.txt
status=$?
[ "$status" = 3 ] || fail "list of the large tape exited $status"
grep -qx "brisalto-tape: standard input: Tape file is seriously corrupted. Cannot continue." err.txt ||
    fail "list of the large tape said: $(cat err.txt)"
# Nothing is left behind in the temporary folder.
mkdir tmp
TMPDIR=$work/tmp "$program" catalogue - <good.tap >/dev/null || fail "catalogue with TMPDIR"
[ -z "$(ls tmp)" ] || fail "standard input's copy was left: $(ls tmp)"

[ "$failed" = 0 ] && echo "standard input: all passed"
exit "$failed"
