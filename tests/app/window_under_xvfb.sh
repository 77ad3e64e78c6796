#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program given as $1 in a virtual X server and checks, as the X server sees it, that
# its window has the caption "Brisalto" and a client area of 608x463.
set -euo pipefail
program=$1
unset QT_QPA_PLATFORM

exec "$(dirname "$0")/../../tools/with-xvfb" bash -c '
    set -euo pipefail
    "$1" &
    pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    for _ in $(seq 100); do
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
' check "$program"
