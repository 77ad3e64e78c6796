# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the console's test scripts: $program is the console program (the script's $1),
# $here the scripts' folder, and the script goes on in a scratch folder of its own, removed at
# exit.
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
