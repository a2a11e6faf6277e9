#!/usr/bin/env bash
# Builds the app, makes a sample store in a throw-away home and saves screenshots of the main
# window's states into the folder given (default: build/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/screenshots}"
cmake --preset default >/dev/null
cmake --build --preset default --target qb-sample-store qb-screenshots

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
export LANG="${LANG:-en_US.UTF-8}" TZ="${TZ:-America/New_York}"

./build/default/tools/qb-sample-store
QT_QPA_PLATFORM=offscreen ./build/default/tools/qb-screenshots "$out"
