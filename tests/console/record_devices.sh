#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `record` ($1, the console program) choosing its sound input, on a private PulseAudio
# (tools/with-pulseaudio) with a second null sink, "other", that the default source does not
# hear: --list-devices names the sources and the default, --device other.monitor records a tape
# played into "other" only. That recording goes to a symbolic link to /dev/full, which takes
# nothing at the end: it is kept in a temporary file, whose path is told. An output that cannot
# be written fails before recording begins; a wrong device name and a missing sound server fail
# clearly.
set -euo pipefail
program=$(realpath "$1")
tape=$(realpath "$(dirname "$0")/../data/hello-hi.tap")
for tool in pulseaudio pactl paplay; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-deps test)"; exit 1; }
done
exec "$(dirname "$0")/../../tools/with-pulseaudio" bash -c '
    set -euo pipefail
    program=$1
    cd "$HOME"
    cp "$2" tape.tap
    "$program" wav -o tape.wav tape.tap
    seconds=$(( ($(stat -c %s tape.wav) - 44) / 44100 + 4 ))
    pactl load-module module-null-sink sink_name=other rate=44100 channels=1 >/dev/null
    failed=0
    fail() { echo "FAIL: $*"; failed=1; }

    "$program" record --list-devices >list.txt 2>err.txt || fail "--list-devices: $(cat err.txt)"
    cat list.txt
    for source in tape.monitor tape_input other.monitor; do
        cut -f1 list.txt | grep -qx "$source" || fail "--list-devices did not name $source"
    done
    [ "$(grep -c "(default)$" list.txt)" = 1 ] && grep -q "^tape_input$(printf "\t").*(default)$" list.txt ||
        fail "--list-devices did not mark tape_input alone as the default"

    # expect_failure <stderr line> <arguments>: exit 1 at once, that line, no recording begun.
    expect_failure() {
        local line=$1 status=0
        shift
        "$program" "$@" >/dev/null 2>err.txt || status=$?
        [ $status = 1 ] || fail "$* ended with $status"
        grep -qxF "$line" err.txt || fail "$* said: $(cat err.txt)"
        ! grep -q "^Recording" err.txt || fail "$* began recording: $(cat err.txt)"
    }
    mkdir folder.tzx
    expect_failure "brisalto-tape: /no/such/folder/x.tzx: No such file or directory" \
        record --seconds 60 /no/such/folder/x.tzx
    expect_failure "brisalto-tape: folder.tzx: is a folder" record --seconds 60 folder.tzx
    expect_failure "brisalto-tape: no sound input named '\''nosuch'\'' to record from (brisalto-tape record --list-devices names them)" \
        record --seconds 60 --device nosuch none.tap
    [ ! -e none.tap ] || fail "a wrong device wrote a file"
    PULSE_SERVER=unix:$HOME/none expect_failure \
        "brisalto-tape: no sound server to list the sound inputs of: Connection refused" \
        record --list-devices

    ln -s /dev/full full.tap
    mkdir tmp
    TMPDIR=$HOME/tmp "$program" record --device other.monitor --seconds "$seconds" full.tap \
        2>device.log &
    recorder=$!
    for _ in $(seq 200); do grep -q "^Recording" device.log 2>/dev/null && break; sleep 0.05; done
    paplay --device=other tape.wav
    status=0
    wait $recorder || status=$?
    cat device.log
    [ $status = 1 ] || fail "record into a full disk ended with $status"
    grep -qx "Recording for $seconds s from the sound input other.monitor; Ctrl+C stops sooner." \
        device.log || fail "record did not name its device"
    grep -qx "brisalto-tape: full.tap: No space left on device" device.log ||
        fail "record did not tell the full disk"
    kept=$(sed -n "s/^brisalto-tape: the recording is kept in //p" device.log)
    [ "$kept" = "$(ls "$HOME"/tmp/brisalto-recording-*.tap)" ] || fail "no kept file told: $kept"
    cmp "$kept" tape.tap || fail "the kept recording is not the tape played into other"
    [ $failed = 0 ] && echo "record chose its device, kept its recording and failed at once"
    exit $failed
' record "$program" "$tape"
