#!/usr/bin/env bash
# runpath_test.sh PROGRAM...
# The loader must find every library of each program in the system's own folders: a RUNPATH
# with an empty or relative entry makes it look in the current folder first, where anyone who
# can write there could plant a library. Each program's libraries are resolved from a folder
# holding a planted libsqlite3.so.0, and every place the loader tries must be absolute.
set -uo pipefail

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
echo "not a library" >"$work/libsqlite3.so.0"
failures=0

for program in "$@"; do
    name="$(basename "$program")"
    if runpath="$(readelf -d "$program" | grep -E '\((RPATH|RUNPATH)\)')"; then
        echo "FAIL: $name carries a search path: $runpath"
        failures=$((failures + 1))
    fi
    # The loader resolves the libraries and exits without running the program.
    (cd "$work" && LD_TRACE_LOADED_OBJECTS=1 LD_DEBUG=libs "$program") >"$work/out" 2>"$work/libs"
    relative="$(grep -o 'trying file=[^/].*' "$work/libs" | head -n 3)"
    if [ -n "$relative" ]; then
        echo "FAIL: $name searches the current folder: $relative"
        failures=$((failures + 1))
    fi
    if grep -q "$work" "$work/out"; then
        echo "FAIL: $name loads the planted library: $(grep "$work" "$work/out")"
        failures=$((failures + 1))
    fi
    if ! grep -q 'libsqlite3.so.0 => /' "$work/out"; then
        echo "FAIL: $name does not resolve libsqlite3.so.0 from the system: $(cat "$work/out")"
        failures=$((failures + 1))
    fi
done

[ "$failures" -eq 0 ]
