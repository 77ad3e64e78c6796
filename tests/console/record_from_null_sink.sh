#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `record` ($1, the console program) on a real sound server: a private PulseAudio whose null
# sink is heard on the default source (tools/with-pulseaudio). A tape's WAV file, made by `wav`, is played into the sink
# while `record` listens, and what it writes must be the tape byte for byte: once for --seconds to
# a TAP, once stopped by Ctrl+C (SIGINT) to a TZX, converted back. Each block is told as it
# loads. Without a sound server it says so and fails, writing nothing.
# With "wine" second, $1 is the Windows program under Wine (through its PulseAudio driver): there
# --seconds only, as Wine hands no Ctrl+C to a program started this way.
set -euo pipefail
program=$(realpath "$1")
under_wine=${2:-}
# A Program header "hello" (LINE 10), its data (10 PRINT "hi"), and a data block of 3 bytes.
tape=$(realpath "$(dirname "$0")/../data/hello-hi.tap")
for tool in pulseaudio pactl paplay; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-deps test)"; exit 1; }
done
exec "$(dirname "$0")/../../tools/with-pulseaudio" bash -c '
    set -euo pipefail
    program=$1 under_wine=$2
    cd "$HOME"
    cp "$3" tape.tap
    "$program" wav -o tape.wav tape.tap
    seconds=$(( ($(stat -c %s tape.wav) - 44) / 44100 + 4 ))

    # Plays the tape once record ($1, its standard error) says it is listening.
    play_when_listening() {
        for _ in $(seq 200); do grep -q "^Recording" "$1" 2>/dev/null && break; sleep 0.05; done
        grep -q "^Recording" "$1" || { echo "FAIL: record did not start"; cat "$1"; exit 1; }
        paplay tape.wav
    }

    "$program" record --seconds "$seconds" out.tap 2>seconds.log &
    recorder=$!
    play_when_listening seconds.log
    wait $recorder || { echo "FAIL: record --seconds ended with $?"; cat seconds.log; exit 1; }
    cat seconds.log
    grep -q "Program: \"hello     \" LINE 10" seconds.log || { echo "FAIL: the header was not told"; exit 1; }
    grep -q "data block, flag 255, 10 bytes, checksum good" seconds.log ||
        { echo "FAIL: the data block was not told"; exit 1; }
    cmp out.tap tape.tap || { echo "FAIL: the TAP recorded is not the tape"; exit 1; }
    echo "record --seconds $seconds wrote the tape back byte for byte"

    if [ -z "$under_wine" ]; then
        "$program" record out.tzx 2>interrupted.log &
        recorder=$!
        play_when_listening interrupted.log
        sleep 1
        kill -INT $recorder
        wait $recorder || { echo "FAIL: record stopped by Ctrl+C ended with $?"; cat interrupted.log; exit 1; }
        "$program" convert out.tzx back.tap
        cmp back.tap tape.tap || { echo "FAIL: the TZX recorded does not hold the tape"; exit 1; }
        echo "record stopped by Ctrl+C wrote a TZX of the tape"
    fi

    status=0
    PULSE_SERVER=unix:$HOME/none "$program" record --seconds 1 none.tap 2>none.log || status=$?
    cat none.log
    [ $status -eq 1 ] || { echo "FAIL: record without a sound server ended with $status"; exit 1; }
    grep -q "no sound input to record from" none.log || { echo "FAIL: no message"; exit 1; }
    [ ! -e none.tap ] || { echo "FAIL: record without a sound server wrote a file"; exit 1; }
    echo "record without a sound server says so and writes nothing"
' record "$program" "$under_wine" "$tape"
