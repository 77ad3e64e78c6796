#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build folder $1 into a temporary prefix and checks what a desktop reads there:
# each file in its place, the validators of the desktop entry, the software centre data and the
# file types content, and that the files agree on the application id, icon and types.
set -euo pipefail
build=$1
id=org.brisalto.Brisalto
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml

[ -x "$prefix/bin/brisalto" ] || fail "no bin/brisalto"
"$prefix/bin/brisalto" --version | grep -qx "Brisalto 1.0.0.3" || fail "installed program's version"
"$prefix/bin/brisalto-tape" --version | grep -qx "brisalto-tape 1.0.0.3" || fail "installed console program"
# The thumbnailer names the installed console program and the defined tape types.
thumbnailer=$share/thumbnailers/$id.thumbnailer
grep -qx "Exec=brisalto-tape thumbnail --size %s %i %o" "$thumbnailer" || fail "thumbnailer Exec line"

# The validators print nothing for a clean file.
output=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$output" ] || fail "desktop-file-validate: $output"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"

# The type package compiles into a type database with the name patterns and the TZX signature.
mkdir -p "$prefix/db/mime/packages"
cp "$share/mime/packages/$id.xml" "$prefix/db/mime/packages/"
output=$(XDG_DATA_DIRS=$prefix/db update-mime-database "$prefix/db/mime" 2>&1) && [ -z "$output" ] || fail "update-mime-database: $output"
grep -qx "50:application/x-spectrum-tap:\*.tap" "$prefix/db/mime/globs2" || fail "no *.tap pattern"
grep -qx "50:application/x-spectrum-tzx:\*.tzx" "$prefix/db/mime/globs2" || fail "no *.tzx pattern"
grep -q ":cs$" "$prefix/db/mime/globs2" && fail "a pattern is case-sensitive"
printf '[50:application/x-spectrum-tzx]\n>0=\0\010ZXTape!\032\n' | cmp -s - <(tail -n +2 "$prefix/db/mime/magic") ||
    fail "TZX signature: $(od -c "$prefix/db/mime/magic")"

# The entry starts the installed program with the file, and names an installed icon.
grep -qx "Exec=brisalto %f" "$desktop" || fail "Exec line"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$icon" = "$id" ] || fail "Icon=$icon"
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/$icon.png
    [ "$(identify -format %wx%h "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "icon $png"
done

# The entry, the software centre data and the type package name the same types.
defined=$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$share/mime/packages/$id.xml" | sort)
listed=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' '\n' | sed '/^$/d' | sort)
provided=$(sed -n 's/.*<mediatype>\(.*\)<\/mediatype>.*/\1/p' "$metainfo" | sort)
[ "$defined" = "$listed" ] || fail "desktop MimeType ($listed) is not the defined ($defined)"
[ "$defined" = "$provided" ] || fail "metainfo mediatypes ($provided) are not the defined ($defined)"
thumbnailed=$(sed -n 's/^MimeType=//p' "$thumbnailer" | tr ';' '\n' | sed '/^$/d' | sort)
[ "$defined" = "$thumbnailed" ] || fail "thumbnailer MimeType ($thumbnailed) is not the defined ($defined)"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id"

[ $failed = 0 ] && echo "installed tree complete and valid"
exit $failed
