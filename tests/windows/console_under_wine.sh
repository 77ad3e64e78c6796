#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows console program $1 (brisalto-tape.exe) under Wine, through the same checks as the
# Linux one: the golden catalogue, listings and disassembly, and the JSON and files read back
# (Python runs the .exe as it runs the Linux program), the wav command and recordings read back.
# Those that need POSIX file modes stay on Linux.
#   console_under_wine.sh brisalto-tape.exe
set -euo pipefail
exe=$(realpath "$1")
here=$(cd "$(dirname "$0")/../console" && pwd)
wrapper=$(mktemp -d)
trap 'rm -rf "$wrapper"' EXIT
printf '#!/bin/sh\nexec wine %q "$@"\n' "$exe" >"$wrapper/brisalto-tape"
chmod +x "$wrapper/brisalto-tape"
status=0
"$here/golden.sh" "$wrapper/brisalto-tape" || status=1
/usr/bin/python3 "$here/read_back.py" "$wrapper/brisalto-tape" || status=1
/usr/bin/python3 "$here/block_views.py" "$wrapper/brisalto-tape" || status=1
"$here/wav_command.sh" "$wrapper/brisalto-tape" || status=1
"$here/recording_commands.sh" "$wrapper/brisalto-tape" || status=1
"$here/help_commands.sh" "$wrapper/brisalto-tape" || status=1
exit $status
