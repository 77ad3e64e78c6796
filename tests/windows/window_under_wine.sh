#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts brisalto.exe under Wine in a virtual X server and checks, as the X server sees it, that
# its window has the caption "Brisalto" and a client area of 608x463. With a tape given on its
# command line, it checks that rows fill the grid, clicks the second row and checks that the pane
# lists a program. Saves a picture of the window.
#   window_under_wine.sh brisalto.exe picture.png [tape.tap]
set -euo pipefail
program=$1
picture=$2
tape=${3:-}
mkdir -p "$(dirname "$picture")"
# A Wine session started without a display (by the offscreen tests) would keep this program off
# the screen: wait for it to end, so that the program starts one on the virtual display.
wineserver -w

exec "$(dirname "$0")/../../tools/with-xvfb" bash -c '
    set -euo pipefail
    program=$1 picture=$2 tape=$3
    args=()
    [ -z "$tape" ] || args=("$(winepath -w "$tape")")
    wine "$program" "${args[@]}" &
    pid=$!
    trap "kill $pid 2>/dev/null || true; wineserver -k 2>/dev/null || true" EXIT
    info=
    for _ in $(seq 600); do
        if info=$(xwininfo -name Brisalto 2>/dev/null) && grep -q "Map State: IsViewable" <<<"$info"; then
            break
        fi
        sleep 0.1
    done
    echo "$info"
    grep -q "xwininfo: Window id: .* \"Brisalto\"" <<<"$info" || { echo "no window captioned Brisalto"; exit 1; }
    width=$(awk "/^ *Width:/ { print \$2 }" <<<"$info")
    height=$(awk "/^ *Height:/ { print \$2 }" <<<"$info")
    [ "$width" = 608 ] && [ "$height" = 463 ] || { echo "client area ${width}x${height}"; exit 1; }
    echo "caption Brisalto, client area ${width}x${height}"
    id=$(awk "/Window id:/ { print \$4 }" <<<"$info")
    sleep 1  # let the first paint finish

    # Wine draws into the screen, not always into the window as X keeps it: cut the client area
    # out of the whole screen, where it is now (the program may move its window once shown).
    shoot() {
        local now left top
        now=$(xwininfo -id "$id")
        left=$(awk "/Absolute upper-left X:/ { print \$4 }" <<<"$now")
        top=$(awk "/Absolute upper-left Y:/ { print \$4 }" <<<"$now")
        import -window root -crop "${width}x${height}+${left}+${top}" +repage "$picture"
    }
    # Share of dark pixels in a part of the window (client coordinates): text and selections.
    ink() {
        shoot
        convert "$picture" -crop "$1" +repage -colorspace Gray -threshold 50% -negate \
            -format "%[fx:mean]" info:
    }
    grid_rows=560x130+16+60   # the grid below its title row, right of the row indicators
    pane=580x190+4+228
    if [ -n "$tape" ]; then
        for _ in $(seq 50); do
            sleep 0.2
            awk "BEGIN { exit !($(ink $grid_rows) > 0.0005) }" && break
        done
        rows=$(ink $grid_rows)
        awk "BEGIN { exit !($rows > 0.0005) }" || { echo "the grid shows no rows (ink $rows)"; exit 1; }
        echo "the tape fills the grid (ink $rows)"
        xdotool mousemove --window "$id" 100 68 click 1
        sleep 1
        listing=$(ink $pane)
        awk "BEGIN { exit !($listing > 0.0005) }" || { echo "the pane lists nothing (ink $listing)"; exit 1; }
        echo "the pane lists the program (ink $listing)"
    fi
    shoot
    echo "saved $picture"
' check "$program" "$picture" "$tape"
