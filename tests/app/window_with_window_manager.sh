#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the program given as $1 in a virtual X server under the openbox window manager and checks,
# as the X server sees them: that the main window, the failure display and the damaged-tape
# message are each centred on the screen, frame included, to within 2 pixels; and that Enter,
# which closes the failure display, and Esc, which closes the row menu, do not list (and so fail)
# again when they come up in the grid.
set -euo pipefail
program=$1
unset QT_QPA_PLATFORM
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A Program header and its data (line 10: PRINT a); then a tape whose second block is cut short.
printf '\x13\x00\x00\x00good      \x07\x00\x0a\x00\x07\x00\x00' >"$work/good.tap"
printf '\x09\x00\xff\x00\x0a\x03\x00\xf5a\x0d\x00' >>"$work/good.tap"
printf '\x13\x00\x00\x03code      \x00\x00\x00\x00\x00\x00\x00\x32\x00\xff\x01' >"$work/damaged.tap"

exec "$(dirname "$0")/../../tools/with-xvfb" bash -c '
    set -euo pipefail
    program=$1 work=$2
    export HOME=$work XDG_CONFIG_HOME=$work/config
    openbox --sm-disable &
    for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    sleep 1  # the manager takes windows over only once it has finished starting
    "$program" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT

    windows() { xdotool search --onlyvisible --name "^Brisalto\$" 2>/dev/null | sort || true; }
    # Waits until `windows` lists $1 windows; fails after ten seconds.
    wait_for() {
        for _ in $(seq 100); do [ "$(windows | wc -l)" -eq "$1" ] && return 0; sleep 0.1; done
        echo "expected $1 windows captioned Brisalto, see $(windows | wc -l)"
        xwininfo -root -tree | grep -i brisalto || true; kill -0 $pid || echo "the program has ended"; exit 1
    }
    # Checks that window $2, frame included, is centred on the 1024x768 screen.
    centred() {
        local info x y w h extents left right top bottom fx fy fw fh
        info=$(xwininfo -id "$2")
        x=$(awk "/Absolute upper-left X:/ { print \$4 }" <<<"$info")
        y=$(awk "/Absolute upper-left Y:/ { print \$4 }" <<<"$info")
        w=$(awk "/^ *Width:/ { print \$2 }" <<<"$info")
        h=$(awk "/^ *Height:/ { print \$2 }" <<<"$info")
        extents=$(xprop -id "$2" _NET_FRAME_EXTENTS | sed "s/.*= //; s/,//g")
        read -r left right top bottom <<<"$extents"
        fx=$((x - left)) fy=$((y - top)) fw=$((w + left + right)) fh=$((h + top + bottom))
        echo "$1: frame ${fw}x${fh} at $fx,$fy (client ${w}x${h}, frame extents $extents)"
        [ $(( (2 * fx + fw - 1024) ** 2 <= 16 && (2 * fy + fh - 768) ** 2 <= 16 )) = 1 ] ||
            { echo "$1 is not centred on the screen"; exit 1; }
    }
    # A key held down for a moment, as a person types it.
    press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; }
    open_tape() {
        xdotool key Tab; sleep 0.2; press space   # focus moves from the grid to Open Tape
        for _ in $(seq 50); do xdotool search --onlyvisible --name "^Open" >/dev/null 2>&1 && break; sleep 0.1; done
        sleep 0.5
        xdotool key ctrl+a; xdotool type --delay 20 "$1"; press Return
    }

    wait_for 1
    main=$(windows)
    sleep 0.5
    centred "main window" "$main"

    open_tape "$work/good.tap"
    sleep 1
    rm "$work/good.tap"
    press Down                       # onto the data row: listing it fails
    wait_for 2
    box=$(windows | grep -vx "$main")
    centred "failure display" "$box"
    press Return                     # closes the box; the release comes up in the grid
    sleep 1.5
    [ "$(windows | wc -l)" -eq 1 ] || { echo "the failure display came back after Enter"; exit 1; }
    press Return                     # Enter pressed and released in the grid lists again
    wait_for 2
    press Escape
    sleep 1
    wait_for 1
    echo "Enter that closed the failure display did not list again; Enter in the grid did"
    press Menu                       # the row menu; Esc closes it, and its release stays there
    sleep 1
    press Escape
    sleep 1.5
    [ "$(windows | wc -l)" -eq 1 ] || { echo "Esc that closed the row menu listed again"; exit 1; }
    press Shift_L                    # any other key lists as before
    wait_for 2
    press Escape
    wait_for 1
    echo "Esc that closed the row menu did not list again; Shift in the grid did"

    open_tape "$work/damaged.tap"
    wait_for 2
    box=$(windows | grep -vx "$main")
    centred "damaged-tape message" "$box"
    press Return
    wait_for 1
' check "$program" "$work"
