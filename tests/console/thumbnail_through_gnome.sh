#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build folder $1 and has GNOME's thumbnail factory make the thumbnails a file
# manager would show, through the installed .thumbnailer and type package: TAP and TZX tapes
# with a loading screen (also a turbo-loaded or split one) get a 256-pixel picture, tapes without
# one none.
# The factory runs thumbnailers in a sandbox that sees /usr alone, so the prefix is under
# /usr/local; without the right to write there the test is skipped (status 77).
set -euo pipefail
build=$1
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mktemp -d /usr/local/brisalto-thumbnail-test.XXXXXX 2>/dev/null) || {
    echo "SKIP: cannot write under /usr/local"
    exit 77
}
chmod 755 "$prefix"
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
XDG_DATA_DIRS=$prefix/share:/usr/share update-mime-database "$prefix/share/mime"

cd "$work"
zmakebas -n loader -a 10 -o plain.tap "$here/data/loader.bas"
cat plain.tap "$here/../data/loading.tap" >screen.tap
# The same blocks as TZX standard speed blocks (0x10: pause, length, body).
to_tzx() {
    printf 'ZXTape!\032\001\024'
    local at=0 size length
    size=$(stat -c %s "$1")
    while [ "$at" -lt "$size" ]; do
        length=$(od -An -tu2 -j "$at" -N 2 "$1" | tr -d ' ')
        printf '\020\350\003'
        dd if="$1" iflag=skip_bytes,count_bytes skip="$at" count=$((length + 2)) status=none
        at=$((at + length + 2))
    done
}
to_tzx screen.tap >screen.tzx
to_tzx plain.tap >plain.tzx
# Screens where turbo loaders keep them, after the loader as tapeconv writes it (standard speed
# blocks): a turbo block under flag 0, and a screen split in two pure data blocks.
tapeconv plain.tap loader.tzx
python3 "$here/screen_tzx.py" turbo "$here/../data/loading.tap" turbo.tzx loader.tzx
python3 "$here/screen_tzx.py" split "$here/../data/loading.tap" split.tzx loader.tzx

# A home of its own: no cached failures from earlier runs, no user settings.
export HOME=$work XDG_CACHE_HOME=$work/cache GSETTINGS_BACKEND=memory
export XDG_DATA_DIRS=$prefix/share:/usr/share
export PATH=$prefix/bin:$PATH
/usr/bin/python3 "$here/thumbnail_factory.py" \
    "yes 256x192 $work/screen.tap" "yes 256x192 $work/screen.tzx" \
    "yes 256x192 $work/turbo.tzx" "yes 256x192 $work/split.tzx" \
    "no $work/plain.tap" "no $work/plain.tzx"
