#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The console program's catalogue and listing of tapes that zmakebas builds from the BASIC in
# data/, and its disassembly of code_tape.py's blocks, against the expected text in golden/; $1 is
# the program. Run on the Windows build too, so both print the same.
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

zmakebas -n loader -a 10 -o loader.tap "$here/data/loader.bas"
zmakebas -n numbers -a 9999 -o numbers.tap "$here/data/numbers.bas"
# One tape of two programs with a loading screen between them.
cat loader.tap "$here/../data/loading.tap" numbers.tap >games.tap
/usr/bin/python3 "$here/code_tape.py" code.tap

failed=0
check() {
    local golden=$1
    shift
    if ! diff -u "$here/golden/$golden" <("$@" 2>&1); then
        echo "FAIL: $* differs from golden/$golden"
        failed=1
    fi
}
check catalogue.txt "$program" catalogue games.tap
check catalogue-no-raw.txt "$program" catalogue --no-raw games.tap loader.tap
check listing.txt "$program" list games.tap
check listing-row.txt "$program" list --row 6 games.tap
check disasm-rom.txt "$program" disasm --row 2 code.tap
check disasm-noise.txt "$program" disasm --row 4 code.tap
[ $failed = 0 ] && echo "catalogue, listings and disassembly as expected"
exit $failed
