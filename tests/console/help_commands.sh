#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The help against the commands: every command that --help lists (the list read from the help
# itself, none written here) answers COMMAND --help with the same usage line, refuses an option
# it does not know with exit 2 and the usage line's pointer, and has its place in the manual
# page. $1 is the program.
set -euo pipefail
program=$1
manual="$(cd "$(dirname "$0")/../../packaging" && pwd)/brisalto-tape.1"
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}

help=$("$program" --help)
# The command list: after "Commands:", each line of two spaces and a name.
mapfile -t lines < <(printf '%s\n' "$help" | sed -n '/^Commands:$/,/^$/p' | grep -E '^  [a-z]')
[ ${#lines[@]} -ge 10 ] || fail "--help lists ${#lines[@]} commands: $help"
for line in "${lines[@]}"; do
    usage=${line#  }
    command=${usage%% *}
    own=$("$program" "$command" --help) || fail "$command --help exits $?"
    [ "$(head -1 <<<"$own")" = "Usage: brisalto-tape $usage" ] ||
        fail "$command --help begins '$(head -1 <<<"$own")', not its line in --help: $usage"
    grep -q -- "--entry ENTRY" <<<"$own" || fail "$command --help does not tell of --entry"
    set +e
    refused=$("$program" "$command" --no-such-option x.tap out 2>&1 >/dev/null)
    code=$?
    refused=${refused%$'\r'}  # Windows' standard error ends its lines in CR LF
    set -e
    [ $code = 2 ] || fail "$command --no-such-option exits $code"
    [ "$refused" = "brisalto-tape: '--no-such-option' is not an option of $command (brisalto-tape --help shows the usage)" ] ||
        fail "$command --no-such-option says: $refused"
    grep -q "^\.B brisalto-tape $command\b" "$manual" || fail "the manual page has no $command"
done
[ $failed = 0 ] && echo "${#lines[@]} commands, each with its own help, as --help lists them"
exit $failed
