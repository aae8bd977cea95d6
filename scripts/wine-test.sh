#!/usr/bin/env bash
# ctest's launcher for the Windows test programs (scripts/windows-check.sh): runs one under wine.
# When wine loses its own server ("wine client error"), the program is started once more, and only
# then: that failure is wine's, and says nothing of the program.
wine=$(command -v wine || echo /usr/lib/wine/wine64)
err=$(mktemp)
trap 'rm -f "$err"' EXIT
for try in 1 2; do
    # The program's output goes through as it comes; its error output is kept to be looked at, and
    # passed on afterwards (wine's own processes, started by the first program, hold it open).
    "$wine" "$@" 2>"$err"
    rc=$?
    cat "$err" >&2
    if [ "$rc" = 0 ] || [ "$try" = 2 ] || ! grep -q '^wine client error' "$err"; then
        exit "$rc"
    fi
    echo "wine-test: wine lost its server running $1 (exit $rc); starting it once more" >&2
done
