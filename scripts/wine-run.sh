#!/usr/bin/env bash
# Runs one Windows program under Wine with its output through a file: Wine's
# background services can inherit a pipe and keep the caller waiting on it.
set -u
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit $rc
