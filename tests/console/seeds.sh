#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every fuzz seed, good and bad tapes alike, through the console program $1 (under the
# sanitizers in a sanitized build): each command ends by itself, with a status of its own.
set -uo pipefail
program=$(realpath "$1")
corpus=$(cd "$(dirname "$0")/../../fuzz/corpus" && pwd)
# A sanitizer's report ends the program with a status no tape can give.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=86"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86"
failed=0
count=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT
for seed in "$corpus"/*/*; do
    for command in "catalogue --json" "catalogue --no-raw" "list" "thumbnail" "bytes --row 1" \
        "hex --row 2" "disasm --row 2 --from 0" "variables --row 2" "array --row 2"; do
        output=()
        case $command in thumbnail | bytes*) output=(-) ;; esac
        # shellcheck disable=SC2086
        timeout 60 "$program" $command "$seed" "${output[@]}" >/dev/null 2>"$err"
        status=$?
        count=$((count + 1))
        case $status in
            0 | 1 | 3) ;;
            *) echo "FAIL: $command $seed: exit $status: $(head -5 "$err")"; failed=1 ;;
        esac
    done
done
[ $failed = 0 ] && echo "$count runs over the seeds, each ended with a status of its own"
exit $failed
