#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under Wine, in a fresh Wine prefix, one function per check: a silent
# install; its registry entries (file types, uninstall entry); its Start menu shortcut; a tape
# opened by its file type as Explorer opens it; no settings left by the program; and a silent
# uninstall that takes back every file and key. Saves pictures of the installer's first page and
# of the window opened by the file type into the picture folder.
#   installer_under_wine.sh setup.exe tape.tap picture-folder
set -Eeuo pipefail
setup=$(realpath "$1")
tape=$(realpath "$2")
pictures=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$pictures"

export WINEDEBUG=-all
# Wine would copy shortcuts and file types into the Linux desktop's menus.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
work=$(mktemp -d)
export WINEPREFIX="$work/wine"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
progid='Brisalto.Tape'
classes='HKCU\Software\Classes'
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brisalto'

fail() {
    echo "FAILED: $*"
    exit 1
}
# A command that fails outside the checks' own words still says where.
trap 'echo "FAILED: line $LINENO: $BASH_COMMAND" >&2' ERR

# A registry value's data ("" for the key's default value), or nothing with status 1.
value() {
    local key=$1 name=$2 found
    if [ -z "$name" ]; then
        found=$(wine reg query "$key" /ve 2>/dev/null) || return 1
        name='(Default)'
    else
        found=$(wine reg query "$key" /v "$name" 2>/dev/null) || return 1
    fi
    tr -d '\r' <<<"$found" | awk -F '    ' -v name="$name" '$2 == name { print $4; found = 1 }
        END { exit !found }'
}

expect_value() {
    local key=$1 name=$2 expected=$3 found try
    # Asked again before it counts as missing: once in a CI run, the first query after the
    # silent install found nothing that the same query found when run again.
    for try in 1 2 3; do
        found=$(value "$key" "$name") && break
        [ "$try" = 3 ] && fail "no value '${name:-(Default)}' in $key"
        sleep 2
    done
    [ "$found" = "$expected" ] || fail "$key '${name:-(Default)}' is '$found', not '$expected'"
}

# Everything in the user's part of the registry and drive C: (but the temporary files, where
# the uninstaller runs from a copy of itself, and which Windows empties itself).
snapshot() {
    wine reg export HKCU "$work/hkcu.reg" /y >/dev/null
    iconv -f UTF-16 -t UTF-8 "$work/hkcu.reg" | tr -d '\r'
    (cd "$WINEPREFIX/drive_c" && find . -path "./users/*/Temp" -prune -o -print | sort)
}

new_prefix() {
    # Its status says nothing useful: a prefix made with warnings reports failure all the same.
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
    # What every Windows user's profile has and a bare Wine prefix lacks, so that what the
    # installer adds is only its own.
    wine reg add "$classes" /f >/dev/null
    wine reg add "${uninstall_key%\\*}" /f >/dev/null
    local_appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')
    mkdir -p "$(winepath -u "$local_appdata\\Programs")"
    wineserver -w
    install_dir="$local_appdata\\Programs\\Brisalto"
    exe="$install_dir\\brisalto.exe"
    start_menu="$(wine cmd /c 'echo %APPDATA%' | tr -d '\r')\\Microsoft\\Windows\\Start Menu\\Programs"
    snapshot >"$work/before.txt"
}

# The first page, as a user who starts the installer sees it; left without installing.
first_page_shows() {
    "$here/../../tools/with-xvfb" bash -c '
        set -euo pipefail
        wine "$1" &
        trap "wineserver -k 2>/dev/null || true" EXIT
        for _ in $(seq 300); do
            id=$(xdotool search --onlyvisible --name "Brisalto .*Setup" 2>/dev/null | head -n 1) &&
                [ -n "$id" ] && break
            sleep 0.1
        done
        [ -n "$id" ] || { echo "no installer window"; exit 1; }
        sleep 1
        import -window root -crop "$(xwininfo -id "$id" | awk "
            /Absolute upper-left X:/ { x = \$4 } /Absolute upper-left Y:/ { y = \$4 }
            /^ *Width:/ { w = \$2 } /^ *Height:/ { h = \$2 }
            END { print w \"x\" h \"+\" x \"+\" y }")" +repage "$2"
        xwininfo -id "$id" | grep -o "\".*\""
    ' page "$setup" "$pictures/installer-first-page.png" || fail "the installer shows no first page"
    wineserver -w
    echo "ok: the installer's first page, saved to $pictures/installer-first-page.png"
}

installs_silently() {
    wine "$setup" /S || fail "the silent install ended with status $?"
    wineserver -w
    for file in brisalto.exe uninstall.exe licenses\\COPYING.txt licenses\\Qt\\LGPL-3.0-only.txt \
        licenses\\libarchive.txt licenses\\zlib.txt licenses\\Spectrum-font.txt; do
        [ -f "$(winepath -u "$install_dir\\$file")" ] || fail "no $install_dir\\$file"
    done
    local console=
    [ ! -f "$(winepath -u "$install_dir\\brisalto-tape.exe")" ] || console=" with brisalto-tape.exe"
    echo "ok: silent install into $install_dir$console, with the licence texts"
}

registers_file_types() {
    expect_value "$classes\\$progid\\shell\\open\\command" "" "\"$exe\" \"%1\""
    expect_value "$classes\\$progid\\DefaultIcon" "" "$exe,0"
    for extension in .tap .tzx; do
        wine reg query "$classes\\$extension\\OpenWithProgids" /v "$progid" >/dev/null 2>&1 ||
            fail "$progid is not offered for $extension"
        # No program held these types before: a double click opens them in Brisalto.
        expect_value "$classes\\$extension" "" "$progid"
    done
    for extension in .zip .gz; do
        ! wine reg query "$classes\\$extension" >/dev/null 2>&1 || fail "$extension was claimed"
    done
    echo "ok: $progid opens .tap and .tzx with \"$exe\" \"%1\"; archives left alone"
}

lists_uninstall_entry() {
    expect_value "$uninstall_key" DisplayName Brisalto
    expect_value "$uninstall_key" DisplayVersion 1.0.0.3
    expect_value "$uninstall_key" Publisher "The Brisalto authors"
    expect_value "$uninstall_key" DisplayIcon "$exe,0"
    expect_value "$uninstall_key" UninstallString "\"$install_dir\\uninstall.exe\""
    expect_value "$uninstall_key" QuietUninstallString "\"$install_dir\\uninstall.exe\" /S"
    local size
    size=$(value "$uninstall_key" EstimatedSize) || fail "no EstimatedSize"
    ((size > 1024)) || fail "EstimatedSize $size KB"
    echo "ok: uninstall entry Brisalto 1.0.0.3, $((size)) KB"
}

# The shortcut holds the path it points at as text.
has_start_menu_shortcut() {
    local link
    link=$(winepath -u "$start_menu\\Brisalto.lnk")
    [ -f "$link" ] || fail "no $start_menu\\Brisalto.lnk"
    grep -qaF "$exe" "$link" || fail "Brisalto.lnk does not point at $exe"
    echo "ok: $start_menu\\Brisalto.lnk points at $exe"
}

# "start" hands the tape to ShellExecute, as Explorer does on a double click. Wine's
# HKEY_CLASSES_ROOT shows only the machine's file types, where Windows merges in the user's own:
# the test merges ours for it, and takes them out again afterwards.
opens_tape_by_file_type() {
    local key
    for key in "$progid" .tap .tzx; do
        wine reg copy "$classes\\$key" "HKLM\\Software\\Classes\\$key" /s /f >/dev/null
    done
    "$here/window_under_wine.sh" start "$pictures/brisalto-by-file-type.png" "$tape" ||
        fail "starting the tape by its file type opened no Brisalto window listing it"
    for key in "$progid" .tap .tzx; do
        wine reg delete "HKLM\\Software\\Classes\\$key" /f >/dev/null
    done
    echo "ok: the tape opened by its file type, saved to $pictures/brisalto-by-file-type.png"
}

# Starts the installed program, opens the open dialog, cancels it and quits as the user does.
open_and_cancel_dialog() {
    wineserver -w
    "$here/../../tools/with-xvfb" bash -c '
        set -euo pipefail
        wine "$1" &
        trap "wineserver -k 2>/dev/null || true" EXIT
        windows() { xwininfo -root -tree | grep -c "(\"brisalto.exe\"" || true; }
        id=
        for _ in $(seq 300); do
            id=$(xdotool search --onlyvisible --name "^Brisalto\$" 2>/dev/null | head -n 1) &&
                [ -n "$id" ] && break
            sleep 0.1
        done
        [ -n "$id" ] || { echo "no window captioned Brisalto"; exit 1; }
        sleep 1
        before=$(windows)
        xdotool mousemove --window "$id" 50 444 click 1
        for _ in $(seq 100); do [ "$(windows)" -gt "$before" ] && break; sleep 0.1; done
        [ "$(windows)" -gt "$before" ] || { echo "no open dialog"; exit 1; }
        sleep 1
        xdotool key Escape
        for _ in $(seq 50); do [ "$(windows)" -le "$before" ] && break; sleep 0.1; done
        [ "$(windows)" -le "$before" ] || { echo "the open dialog did not close"; exit 1; }
        # Closes the window as its close box does.
        wine taskkill /im brisalto.exe >/dev/null
        wineserver -w
    ' settings "$exe" || fail "could not open and cancel the open dialog"
}

# Qt's file dialog keeps its history and folder under HKCU\Software\QtProject when it closes.
leaves_no_settings() {
    open_and_cancel_dialog
    ! wine reg query 'HKCU\Software\QtProject' >/dev/null 2>&1 ||
        fail "settings left in HKCU\\Software\\QtProject: $(wine reg query 'HKCU\Software\QtProject' /s)"
    echo "ok: the open dialog opened and cancelled, and nothing in HKCU\\Software\\QtProject"
}

# The same place holds other Qt programs' dialog state: it stays as they left it.
keeps_other_programs_dialog_state() {
    local group='HKCU\Software\QtProject\OrganizationDefaults\FileDialog'
    wine reg add "$group" /v lastVisited /d 'file:///C:/elsewhere' /f >/dev/null
    wine reg add "$group" /v qtVersion /d 5.15.2 /f >/dev/null
    wine reg add "${group%\\*}" /v other /d kept /f >/dev/null
    wine reg export 'HKCU\Software\QtProject' "$work/qt-before.reg" /y >/dev/null
    open_and_cancel_dialog
    wine reg export 'HKCU\Software\QtProject' "$work/qt-after.reg" /y >/dev/null
    cmp -s "$work/qt-before.reg" "$work/qt-after.reg" ||
        fail "another program's dialog state changed: $(wine reg query 'HKCU\Software\QtProject' /s)"
    wine reg delete 'HKCU\Software\QtProject' /f >/dev/null
    echo "ok: another Qt program's dialog state left as it was"
}

uninstalls_silently() {
    wine "$install_dir\\uninstall.exe" /S || fail "the silent uninstall ended with status $?"
    # It runs from a copy of itself and ends when that copy does.
    wineserver -w
    snapshot >"$work/after.txt"
    diff -u "$work/before.txt" "$work/after.txt" || fail "the uninstall left the above behind"
    echo "ok: silent uninstall; the user's registry and files as before the install"
}

new_prefix
first_page_shows
installs_silently
registers_file_types
lists_uninstall_entry
has_start_menu_shortcut
opens_tape_by_file_type
leaves_no_settings
keeps_other_programs_dialog_state
uninstalls_silently
