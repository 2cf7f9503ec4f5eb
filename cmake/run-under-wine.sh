#!/bin/sh
# Runs a Windows program under Wine (the command line given: env, its
# settings, wine, the program) with its output going through files rather
# than the caller's pipes, then passes the output on and exits as it did.
# Wine starts its desktop process (explorer.exe) from the first program
# that makes a window, and that process keeps the program's standard error
# open: a caller reading a pipe to its end, as CTest does, would then wait
# for the desktop to end, long after the program did.
set -u
folder=$(mktemp -d "${TMPDIR:-/tmp}/bladeway-wine.XXXXXX") || exit 125
trap 'rm -rf "$folder"' EXIT
trap 'exit 143' TERM INT
"$@" </dev/null >"$folder/out" 2>"$folder/err"
status=$?
cat "$folder/out"
cat "$folder/err" >&2
# A failure that says nothing would leave CTest's log without a trace.
if [ "$status" -ne 0 ] && [ ! -s "$folder/out" ] && [ ! -s "$folder/err" ]; then
    echo "run-under-wine.sh: '$*' ended with status $status and wrote nothing" >&2
fi
exit "$status"
