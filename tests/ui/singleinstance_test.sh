#!/usr/bin/env bash
# Two real processes on one store: a second start hands its URL to the running app and exits
# 0, and the running app acts on it. The effect is one the app makes anyway: following
# quillbrook://today switches the first window from Later to Today, which it stores in the
# preferences file at once (before it answers the second start). Also: a start without URLs,
# a self-test beside a running app, another store's own instance, and a restart after a crash
# that left its socket behind, and an orderly quit on SIGTERM.
set -uo pipefail

app="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME/Quillbrook"
conf="$XDG_CONFIG_HOME/Quillbrook/Quillbrook.conf"
failures=0
passes=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { passes=$((passes + 1)); }
sockets() { find "$XDG_RUNTIME_DIR" -maxdepth 1 -type s -name 'quillbrook-*.socket' | sort; }
# The first window's stored perspective.
perspective() {
    awk -F= '/^\[/ { group = $0 } group == "[MainWindow1]" && $1 == "macPerspective" { print $2 }' "$conf"
}
set_perspective() { printf '[MainWindow1]\nmacPerspective=%s\n' "$1" >"$conf"; }
# wait_until SECONDS COMMAND...: polls every 0.1 s.
wait_until() {
    local tries=$(($1 * 10)); shift
    while [ "$tries" -gt 0 ]; do
        "$@" && return 0
        sleep 0.1
        tries=$((tries - 1))
    done
    return 1
}
one_socket() { [ "$(sockets | wc -l)" -eq 1 ]; }
two_sockets() { [ "$(sockets | wc -l)" -eq 2 ]; }
alive() { kill -0 "$1" 2>/dev/null; }
# forward WHAT ARGS...: a second start, which must return 0 within 30 s.
forward() {
    local what="$1"; shift
    timeout 30 "$app" -cloudKitDisabled "$@" >"$work/second.log" 2>&1
    local status=$?
    [ "$status" -eq 0 ] && pass || fail "$what: second start exited $status: $(cat "$work/second.log")"
}

# --- the first start listens; a second one forwards its URL ----------------------------------
set_perspective later
"$app" -cloudKitDisabled >"$work/first.log" 2>&1 &
first=$!
pids+=("$first")
wait_until 30 one_socket && pass || fail "the first start made no socket: $(cat "$work/first.log")"
socket="$(sockets | head -n 1)"
# Only its owner may connect: no permission bits for the group or others.
[[ "$(stat -c %a "$socket" 2>/dev/null)" == [67]00 ]] && pass ||
    fail "socket mode is $(stat -c %a "$socket" 2>/dev/null)"
[ "$(perspective)" = later ] && pass || fail "the first window did not open on Later"

forward "quillbrook://today" "quillbrook://today"
[ "$(perspective)" = today ] && pass || fail "the URL did not reach the first instance (perspective $(perspective))"
alive "$first" && pass || fail "the first instance is gone"

# --- without URLs it only raises the running window; a self-test runs on its own ------------
forward "no URL"
if timeout 60 "$app" --self-test -cloudKitDisabled >"$work/selftest.log" 2>&1; then pass; else
    fail "--self-test beside a running instance failed: $(cat "$work/selftest.log")"
fi
alive "$first" && one_socket && pass || fail "the first instance or its socket did not survive"
forward "quillbrook://new after the self-test" "quillbrook://new"

# --- another store is another instance ---------------------------------------------------------
XDG_DATA_HOME="$work/other-data" XDG_CONFIG_HOME="$work/other-config" \
    "$app" -cloudKitDisabled >"$work/other.log" 2>&1 &
other=$!
pids+=("$other")
wait_until 30 two_sockets && pass ||
    fail "a start on another store did not run on its own: $(cat "$work/other.log")"
alive "$other" && pass || fail "the other store's instance exited: $(cat "$work/other.log")"
kill -9 "$other" 2>/dev/null

# --- a crash leaves a stale socket; the next start takes over -----------------------------------
kill -9 "$first"
wait "$first" 2>/dev/null
[ -S "$socket" ] && pass || fail "no stale socket was left to clean up"
# The new socket may get the freed inode number back, so its change time tells them apart too.
stale_identity="$(stat -c '%i %.9Z' "$socket")"
set_perspective later
"$app" -cloudKitDisabled >"$work/restart.log" 2>&1 &
restarted=$!
pids+=("$restarted")
fresh_socket() { [ -S "$socket" ] && [ "$(stat -c '%i %.9Z' "$socket")" != "$stale_identity" ]; }
wait_until 30 fresh_socket && pass || fail "the restart did not replace the stale socket: $(cat "$work/restart.log")"
forward "quillbrook://today after the restart" "quillbrook://today"
[ "$(perspective)" = today ] && pass || fail "the URL did not reach the restarted instance"
alive "$restarted" && pass || fail "the restarted instance is gone"

# --- logout: SIGTERM quits in order, as the Quit command does --------------------------------
kill -TERM "$restarted"
gone() { ! alive "$restarted"; }
if wait_until 30 gone; then
    wait "$restarted"
    status=$?
    [ "$status" -eq 0 ] && pass || fail "SIGTERM ended the app with status $status: $(cat "$work/restart.log")"
    [ ! -e "$socket" ] && pass || fail "the app quit on SIGTERM without removing its socket"
else
    fail "SIGTERM did not end the app"
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
