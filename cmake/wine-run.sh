#!/usr/bin/env bash
# Runs a Windows test executable under Wine. Under load Wine now and then fails to start a process,
# which then exits at once without a word; such a start is tried once more. A program that ran and
# wrote anything keeps its result: a real failure is never retried.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for attempt in 1 2; do
  wine "$@" >"$log" 2>&1
  status=$?
  if [ "$status" -eq 0 ] || [ -s "$log" ]; then
    break
  fi
  echo "wine-run: Wine exited with $status before $1 wrote anything (attempt $attempt)" >&2
done
cat "$log"
exit "$status"
