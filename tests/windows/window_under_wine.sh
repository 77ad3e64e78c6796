#!/usr/bin/env bash
# Starts brisalto.exe under Wine in a virtual X server and checks, as the X server sees it, that
# its window has the caption "Brisalto" and a client area of 608x463, and, when a tape is given on
# the command line, that the tape's rows fill the grid. Saves a picture of the window.
#   window_under_wine.sh brisalto.exe picture.png [tape.tap]
set -euo pipefail
program=$1
picture=$2
tape=${3:-}
mkdir -p "$(dirname "$picture")"

exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
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

    # The rows of the grid, below its title row: text makes dark pixels where an empty grid has none.
    id=$(awk "/Window id:/ { print \$4 }" <<<"$info")
    for _ in $(seq 20); do
        sleep 0.5
        import -window "$id" "$picture"
        ink=$(convert "$picture" -crop 560x130+4+60 +repage -colorspace Gray -threshold 50% \
            -negate -format "%[fx:mean]" info:)
        [ -z "$tape" ] || awk "BEGIN { exit !($ink > 0.002) }" && break
    done
    echo "saved $picture"
    if [ -n "$tape" ]; then
        awk "BEGIN { exit !($ink > 0.002) }" || { echo "the grid shows no rows (ink $ink)"; exit 1; }
        echo "the tape fills the grid (ink $ink)"
    fi
' check "$program" "$picture" "$tape"
