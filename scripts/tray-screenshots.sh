#!/usr/bin/env bash
# Screenshots of the tray icon under Xvfb with a classic system tray (trayer), from a sample
# store: the tooltip, the menu, a to-do chosen from it, and the menu after the command-line
# client added a to-do. Needs trayer and xdotool, which only this script uses (not CI):
#     sudo apt-get install trayer xdotool
# Usage: scripts/tray-screenshots.sh [OUTPUT_FOLDER]   (default: build/tray-screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build/tray-screenshots}")"
for tool in trayer xdotool xvfb-run import convert; do
    command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
cmake --preset default >/dev/null
cmake --build --preset default --target quillbrook quillbrook-cli qb-sample-store
mkdir -p "$out"

home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
export LANG="${LANG:-en_US.UTF-8}" TZ="${TZ:-America/New_York}" OUT="$out"
# A classic XEmbed tray: Qt uses it when no StatusNotifier host is on a session bus.
unset DBUS_SESSION_BUS_ADDRESS
./build/default/tools/qb-sample-store >/dev/null

xvfb-run -a -s "-screen 0 1280x800x24" bash -euo pipefail -c '
    # The top right of the screen: the tray, its menu and most of the window.
    shoot() {
        sleep "$2"
        import -window root -crop 990x430+290+0 +repage "$OUT/$1.png"
        echo "saved $OUT/$1.png"
    }
    trayer --edge top --align right --widthtype request --height 28 --SetDockType true \
           --transparent false --tint 0xdddddd >/dev/null 2>&1 &
    sleep 1
    ./build/default/src/ui/quillbrook -cloudKitDisabled >/dev/null 2>&1 &
    app=$!
    sleep 4
    xdotool windowmove "$(xdotool search --name "^Quill Brook$" | head -n 1)" 300 40
    icon_x=1268 icon_y=14
    xdotool mousemove $icon_x $icon_y
    shoot tray-tooltip 2.5
    xdotool click 3
    shoot tray-menu 1.5
    xdotool mousemove 1100 46 click 1   # the second title
    shoot tray-opened 1.5
    ./build/default/src/cli/quillbrook-cli add --today "Pick up the parcel" >/dev/null
    sleep 1.5
    xdotool mousemove $icon_x $icon_y click 3
    shoot tray-menu-after-cli 1.5
    xdotool key Escape
    kill "$app"
'
