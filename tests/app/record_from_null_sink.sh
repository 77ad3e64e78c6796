#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# "Record From Sound Input…" in the real program ($1) on a real sound server: a private
# PulseAudio whose null sink is heard on the default source (tools/with-pulseaudio), the keys in
# a virtual X server. A tape's WAV file, made by the console program ($2), is played into the
# sink while the recorder listens; Esc then asks whether to discard the recording, and No goes on
# recording; Stop makes the tape recovered the open one, and "Save Tape As…" must write the tape
# byte for byte. Then a second recording closed with Esc and Yes goes without a word more.
# With "wine" third, $1 runs the Windows program under Wine (which records through its PulseAudio
# driver): a window manager gives its windows the keys, and the menu is opened by a right click.
set -euo pipefail
program=$(realpath "$1")
console=$(realpath "$2")
under_wine=${3:-}
tape=$(realpath "$(dirname "$0")/../data/hello-hi.tap")
root=$(realpath "$(dirname "$0")/../..")
unset QT_QPA_PLATFORM
for tool in pulseaudio pactl paplay xdotool; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-deps test)"; exit 1; }
done

exec "$root/tools/with-pulseaudio" "$root/tools/with-xvfb" bash -c '
    set -euo pipefail
    program=$1 under_wine=$4
    cd "$HOME"
    cp "$3" tape.tap
    "$2" wav -o tape.wav tape.tap
    if [ -n "$under_wine" ]; then
        openbox >/dev/null 2>&1 &
        sleep 1
    fi
    "$program" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT

    # The visible windows captioned $1 (a dialog and its question share a caption). A search
    # fails when a window goes while it looks (Wine makes and drops windows of its own).
    windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l || true; }
    wait_for() {
        for _ in $(seq 300); do [ "$(windows "$1")" -eq "$2" ] && return 0; sleep 0.1; done
        echo "FAIL: $3 (windows captioned \"$1\": $(windows "$1"), not $2)"; exit 1
    }
    recorder="^Record From Sound Input"
    # The row menu of the grid.
    row_menu() {
        if [ -n "$under_wine" ]; then
            xdotool mousemove --window "$window" 100 55 click 3
            sleep 1
        else
            xdotool windowfocus --sync "$window"
            xdotool key shift+F10
            sleep 0.5
        fi
    }
    record() {
        row_menu; xdotool key r                            # Record From Sound Input
        wait_for "$recorder" 1 "no recorder"
        sleep 0.5
        xdotool key alt+r                                  # Record
        sleep 1
    }

    wait_for "^Brisalto\$" 1 "no main window"
    window=$(xdotool search --onlyvisible --name "^Brisalto\$" | head -n 1)
    [ -z "$under_wine" ] || sleep 2
    record
    paplay tape.wav &
    player=$!
    sleep 2
    xdotool key Escape
    wait_for "$recorder" 2 "Esc while recording asked nothing"
    xdotool key alt+n                                      # No: recording goes on
    wait_for "$recorder" 1 "No did not close the question"
    wait $player
    sleep 1
    # With no window manager to give it back, the keys go to the recorder by hand (and to the
    # main window in record).
    xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "$recorder" 2>/dev/null | head -n 1)"
    xdotool key alt+s                                      # Stop
    wait_for "$recorder" 0 "Stop did not close the recorder"

    row_menu; xdotool key a                                # Save Tape As
    wait_for "^Save Tape As" 1 "no save dialog"
    sleep 1
    # In the current folder, where the recording is named; the name typed over the one offered.
    xdotool key End shift+Home; xdotool type --delay 20 back.tap; xdotool key Return
    for _ in $(seq 50); do [ -s back.tap ] && break; sleep 0.1; done
    cmp back.tap tape.tap || { echo "FAIL: the tape saved is not the tape played"; exit 1; }
    # A silence before the tape is a pause, which a TAP cannot hold: a note says so.
    sleep 1
    if [ "$(windows "^Brisalto\$")" -eq 2 ]; then
        xdotool key Return
        wait_for "^Brisalto\$" 1 "the note on what the TAP left out stayed"
    fi
    echo "the recorder heard the tape and Save Tape As wrote it byte for byte"

    record
    xdotool key Escape
    wait_for "$recorder" 2 "Esc while recording asked nothing"
    xdotool key alt+y                                      # Yes: the recording is discarded
    wait_for "$recorder" 0 "Yes did not close the recorder"
    kill -0 $pid || { echo "FAIL: the program ended"; exit 1; }
    echo "Esc while recording asked first; No went on recording, Yes discarded it"
' record "$program" "$console" "$tape" "$under_wine"
