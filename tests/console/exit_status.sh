#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The console program $1 on good, damaged, missing and unreadable tapes and unwritable outputs:
# exit status, the one line on standard error, and that a failure leaves every file as it was.
set -uo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
cd "$work" || exit 1

zmakebas -n loader -a 10 -o good.tap "$here/data/loader.bas"
cp "$here/../data/loading.tap" screen.tap
head -c 30 good.tap >cut.tap
# A data block of one byte has a Size of -1, which the window refuses while it lists data blocks.
{ cat good.tap; printf '\001\000\377'; } >one-byte.tap
mkdir folder
cp good.tap unreadable.tap
chmod 000 unreadable.tap
echo "an older picture" >kept.png
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1], "w").writestr("notes.txt", "")' no-tape.zip
# Root reads any file whatever its mode: the unreadable tape is read as another user.
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)

failed=0
out=$(mktemp) err=$(mktemp)
# expect <status> <a line of stdout, a grep pattern; empty: none> <stderr, exact> -- <arguments>
expect() {
    local code=$1 stdout=$2 stderr=$3
    shift 4
    local before
    before=$(ls -l --time-style=+%s.%N; md5sum ./*.tap kept.png)
    "${runner[@]}" "$program" "$@" >"$out" 2>"$err"
    local got=$? ok=true
    if [ -z "$stdout" ]; then [ -s "$out" ] && ok=false; else grep -qx -- "$stdout" "$out" || ok=false; fi
    [ "$got" = "$code" ] && [ "$(cat "$err")" = "$stderr" ] || ok=false
    # Only a run that succeeds may leave a file behind.
    if [ "$code" != 0 ] && [ "$before" != "$(ls -l --time-style=+%s.%N; md5sum ./*.tap kept.png)" ]; then
        echo "  files changed: $(ls)"
        ok=false
    fi
    if $ok; then
        echo "ok: $* -> $got"
    else
        echo "FAIL: $*: exit $got (want $code)"
        echo "  stdout: $(head -3 "$out")"
        echo "  stderr: $(cat "$err")"
        failed=1
    fi
}
runner=()
usage="(brisalto-tape --help shows the usage)"
expect 0 'brisalto-tape 1.0.0.3' '' -- --version
expect 0 'License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.' '' -- --version
expect 0 'Usage: brisalto-tape COMMAND \[options\] TAPE...' '' -- --help
expect 2 '' "brisalto-tape: no command given $usage" --
expect 2 '' "brisalto-tape: unknown command 'show' $usage" -- show good.tap
expect 2 '' "brisalto-tape: '--scale' is not an option of catalogue $usage" -- catalogue --scale 2 good.tap
expect 2 '' "brisalto-tape: screen needs '--row' $usage" -- screen screen.tap out.png
expect 2 '' "brisalto-tape: '--row' needs a row number from 1 up $usage" -- list --row 0 good.tap
expect 2 '' "brisalto-tape: bytes takes one tape and one output $usage" -- bytes --row 2 good.tap
expect 2 '' "brisalto-tape: choose '--json' or '--json-lines', not both $usage" -- catalogue --json-lines --json good.tap
expect 0 '  2      23   255  Raw Data  *133   133' '' -- catalogue good.tap
expect 3 '' "brisalto-tape: cut.tap: Tape file is seriously corrupted. Cannot continue." -- list cut.tap
expect 1 '' "brisalto-tape: missing.tap: File not found." -- catalogue missing.tap
expect 1 '  10  REM © 1984 Brisalto' "brisalto-tape: one-byte.tap: -1 is not a valid value for field 'Size'. The allowed range is 0 to 65535." -- list one-byte.tap
expect 0 '  1       2     0  Program  *loader  *10  *133  *133' '' -- catalogue --no-raw one-byte.tap
expect 1 '' "brisalto-tape: folder: Is a folder, not a tape." -- list folder
expect 1 '' "brisalto-tape: no-tape.zip: The archive holds no tape (*.tap, *.tzx)" -- list no-tape.zip
expect 1 '' "brisalto-tape: good.tap: is not an archive; --entry is for archives." -- list --entry a.tap good.tap
expect 1 '' "brisalto-tape: good.tap: row 1 is a Program header; its program is row 2" -- list --row 1 good.tap
expect 1 '' "brisalto-tape: good.tap: has no row 3 (it has 2 rows)" -- bytes --row 3 good.tap out.bin
expect 1 '' "brisalto-tape: screen.tap: row 1 is not a screen (a 6,912-byte data block)" -- screen --row 1 screen.tap out.png
expect 1 '' "brisalto-tape: good.tap: holds no loading screen (a 6,912-byte data block)" -- thumbnail good.tap kept.png
expect 1 '' "brisalto-tape: good.tap: is the tape that is open; it cannot be written over" -- bytes --row 2 good.tap good.tap
expect 1 '' "brisalto-tape: no/such/folder.bin: No such file or directory" -- bytes --row 2 good.tap no/such/folder.bin
expect 1 '' "brisalto-tape: folder: is a folder" -- screen --row 2 screen.tap folder
# Failed tapes do not stop the others; the worst status wins.
expect 1 '  1       2     3  Bytes  *loading .*' "brisalto-tape: missing.tap: File not found.
brisalto-tape: cut.tap: Tape file is seriously corrupted. Cannot continue." -- catalogue missing.tap screen.tap cut.tap
runner=("${as_user[@]}")
expect 1 '' "brisalto-tape: unreadable.tap: File access denied." -- catalogue unreadable.tap
chmod 555 "$work"
expect 1 '' "brisalto-tape: out.png: Permission denied" -- thumbnail screen.tap out.png
chmod 755 "$work"
runner=()
expect 0 '' '' -- thumbnail screen.tap kept.png
[ "$(head -c 4 kept.png | od -An -c | tr -d ' ')" = '211PNG' ] || { echo "FAIL: kept.png not replaced by a PNG"; failed=1; }
# A pipe (as /dev/null, a device) is written to, never replaced by a file.
mkfifo pipe
timeout 20 cat pipe >from-pipe.bin &
expect 0 '' '' -- bytes --row 2 good.tap pipe
wait
[ -p pipe ] || { echo "FAIL: the pipe was replaced"; failed=1; }
"$program" bytes --row 2 good.tap - | cmp -s - from-pipe.bin || { echo "FAIL: the pipe's bytes"; failed=1; }
exit $failed
