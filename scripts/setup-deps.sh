#!/usr/bin/env bash
# Installs the Debian packages Quill Brook needs to build, test and run.
# Idempotent: does nothing when every package is already installed.
set -euo pipefail

packages=(
    cmake ninja-build pkg-config
    libsqlite3-dev libicu-dev libgtest-dev libbenchmark-dev rapidjson-dev
    qt6-base-dev qt6-declarative-dev
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
    qml6-module-qtquick qml6-module-qtquick-window qml6-module-qtquick-templates
    qml6-module-qtquick-controls qml6-module-qtquick-layouts qml6-module-qttest
    sqlite3 faketime fonts-dejavu-core fonts-material-design-icons-iconfont xvfb xauth
    dbus-daemon
    desktop-file-utils appstream dpkg-dev file binutils time
    libical-dev qtkeychain-qt6-dev radicale python3-caldav
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
