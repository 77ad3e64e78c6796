#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program given as $1 in a virtual X server with a tape named on its command line (a
# path relative to the current folder), moves to the tape's program row with the Down key, and
# reads the listing pane back through the clipboard. Only a tape that was opened and listed in
# the grid gives the listing; without it the pane and the clipboard stay empty. $2, when given,
# names the tape otherwise (printf escapes: 'caf\xe9.tap' is a Latin-1 name, no UTF-8), and
# $3 saves a picture of the screen with the tape's Tape Information open once it is listed.
set -euo pipefail
program=$(realpath "$1")
with_xvfb=${BRISALTO_WITH_XVFB:-$(realpath "$(dirname "$0")/../../tools/with-xvfb")}
unset QT_QPA_PLATFORM
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
name=$(printf "${2:-hello.tap}")
picture=${3:+$(realpath "$3")}

# A Program header "hello" (autostart 10, 10 bytes) and its data: 10 PRINT "hi".
printf '\x13\x00\x00\x00hello     \x0a\x00\x0a\x00\x0a\x00\x00' >"$folder/$name"
printf '\x0c\x00\xff\x00\x0a\x06\x00\xf5"hi"\x0d\x00' >>"$folder/$name"
cd "$folder"

"$with_xvfb" bash -c '
    set -euo pipefail
    "$1" "$2" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Brisalto\$" | head -n 1)
    xdotool windowfocus --sync "$window"
    xdotool key Down                                           # onto the "Raw Data" row: lists it
    xdotool mousemove --window "$window" 300 320 click 1      # into the listing pane
    listing=
    for _ in $(seq 50); do
        xdotool key ctrl+a ctrl+c
        listing=$(xclip -o -selection clipboard 2>/dev/null || true)
        [ -n "$listing" ] && break
        sleep 0.2
    done
    printf "listing: %s\n" "$listing"
    [ "$listing" = "  10  PRINT \"hi\"" ] || { echo "the tape named on the command line was not listed"; exit 1; }
    if [ -n "$3" ]; then
        # With Tape Information open from the row menu, which names the file.
        xdotool mousemove --window "$window" 300 60 click 1 key Menu
        sleep 0.5
        xdotool key i
        sleep 1
        import -window root "$3"
    fi
' check "$program" "$name" "$picture"
