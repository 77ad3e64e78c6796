#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the program given as $1 with options that end it at once, without any display: what it
# prints where, and its exit codes.
set -uo pipefail
program=$1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# expect <exit code> <a line of stdout, a grep pattern; empty: no output> <stderr, exact> -- <arguments>
expect() {
    local code=$1 stdout=$2 stderr=$3
    shift 4
    "$program" "$@" >"$out" 2>"$err"
    local got=$?
    local stdout_ok=true
    if [ -z "$stdout" ]; then [ -s "$out" ] && stdout_ok=false; else grep -qx -- "$stdout" "$out" || stdout_ok=false; fi
    if [ "$got" != "$code" ] || ! $stdout_ok || [ "$(cat "$err")" != "$stderr" ]; then
        echo "FAIL: brisalto $*: exit $got (want $code)"
        echo "  stdout: $(cat "$out")"
        echo "  stderr: $(cat "$err")"
        failed=1
    else
        echo "ok: brisalto $* -> exit $got"
    fi
}

expect 0 'Brisalto 1.0.0.3' '' -- --version
expect 0 'License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.' '' -- --version
expect 0 'Brisalto 1.0.0.3' '' -- -v tape.tap
expect 0 'Usage: brisalto \[options\] \[file\]' '' -- --help
expect 0 '  -platform <value>' '' -- --help-all
expect 2 '' "brisalto: Unknown option 'bogus'." -- --bogus tape.tap
expect 2 '' "brisalto: Unknown option 'x'." -- -x
# Without a display the window cannot open: one line that says so, not Qt's abort.
expect 1 '' "brisalto: there is no display to open the window on; run it in a desktop session, over ssh -X, or under xvfb-run (brisalto-tape reads tapes without a window)" --
exit $failed
