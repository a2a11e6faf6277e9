#!/usr/bin/env bash
# Runs the app on fresh and on broken stores and checks what a user would see: a new store is
# created privately; a broken one stops the app with the fatal message and stays byte-for-byte
# as it was.
set -uo pipefail

app="$1"
work="$(mktemp -d)"
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
failures=0
passes=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { passes=$((passes + 1)); }

fresh_home() {
    export XDG_DATA_HOME="$work/$1/data" XDG_CONFIG_HOME="$work/$1/config"
    mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
    store_dir="$XDG_DATA_HOME/Quillbrook"
    store="$store_dir/Quillbrook.store"
}

# A first launch creates the folder (0700) and the store (0600).
fresh_home first
if "$app" --self-test -cloudKitDisabled; then pass; else fail "first launch exited $?"; fi
[ -f "$store" ] && pass || fail "store file not created"
[ "$(stat -c %a "$store_dir")" = 700 ] && pass || fail "store folder mode $(stat -c %a "$store_dir")"
[ "$(stat -c %a "$store")" = 600 ] && pass || fail "store file mode $(stat -c %a "$store")"
grep -q "scheduledDateBackfilled_v1=true" "$XDG_CONFIG_HOME/Quillbrook/Quillbrook.conf" && pass ||
    fail "migration flag not written"

# The preferences are as private, whatever the umask.
fresh_home open-umask
(umask 000 && "$app" --self-test -cloudKitDisabled) || fail "launch under umask 000 exited $?"
conf="$XDG_CONFIG_HOME/Quillbrook/Quillbrook.conf"
[ "$(stat -c %a "$conf")" = 600 ] && pass || fail "preferences file mode $(stat -c %a "$conf")"
[ "$(stat -c %a "${conf%/*}")" = 700 ] && pass || fail "preferences folder mode $(stat -c %a "${conf%/*}")"
[ "$(stat -c %a "$store")" = 600 ] && pass || fail "store file mode under umask 000 $(stat -c %a "$store")"

# Each broken store: non-zero exit, the fatal message, the file unchanged.
expect_fatal() {
    local name="$1"
    local before after
    before="$(sha256sum "$store" 2>/dev/null || echo none)"
    "$app" --self-test 2>"$work/$name.err"
    local status=$?
    after="$(sha256sum "$store" 2>/dev/null || echo none)"
    [ "$status" -ne 0 ] && pass || fail "$name: exit status 0"
    grep -q "^Unable to create a local ModelContainer: ." "$work/$name.err" && pass ||
        fail "$name: stderr was: $(cat "$work/$name.err")"
    [ "$before" = "$after" ] && pass || fail "$name: store file changed"
}

fresh_home random
mkdir -p -m 0700 "$store_dir"
head -c 65536 /dev/urandom >"$store"
expect_fatal random

fresh_home truncated
"$app" --self-test -cloudKitDisabled >/dev/null 2>&1
sqlite_pages=$(( $(stat -c %s "$store") / 2 ))
truncate -s "$sqlite_pages" "$store"
if [ "$sqlite_pages" -gt 0 ]; then expect_fatal truncated; fi

fresh_home newer
"$app" --self-test -cloudKitDisabled >/dev/null 2>&1
printf 'SQLite format 3\0' | cmp -s -n 16 - "$store" && pass || fail "store is not SQLite"
sqlite3 "$store" "UPDATE store_metadata SET value='9.0.0' WHERE key='schemaVersion'; PRAGMA wal_checkpoint(TRUNCATE);" >/dev/null
expect_fatal newer

fresh_home folder
mkdir -p "$store"
"$app" --self-test 2>"$work/folder.err"
[ $? -ne 0 ] && pass || fail "folder: exit status 0"
grep -q "^Unable to create a local ModelContainer: " "$work/folder.err" && pass || fail "folder: no message"

# --help and --version answer and exit at once, without a display and without a store.
fresh_home info
for option in --help --version; do
    output="$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 "$app" "$option" 2>"$work/info.err")"
    status=$?
    [ "$status" -eq 0 ] && pass || fail "$option: exit status $status ($(head -c 200 "$work/info.err"))"
    [ ! -e "$store" ] && pass || fail "$option: opened the store"
    case "$option" in
    --help) [[ "$output" == Usage:\ quillbrook* ]] && pass || fail "--help printed: $output" ;;
    --version) [[ "$output" =~ ^quillbrook\ [0-9]+\.[0-9]+ ]] && pass || fail "--version printed: $output" ;;
    esac
done

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
