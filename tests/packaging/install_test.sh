#!/usr/bin/env bash
# install_test.sh BUILD_DIR VERSION CMAKE CPACK QML_SOURCE_DIR QT_QML_DIR
# Installs BUILD_DIR into a temporary prefix and checks what a desktop sees there, runs the
# installed programs, then packs a .deb and checks its files and declared dependencies.
# desktop-file-validate, appstreamcli, dpkg-shlibdeps, dpkg-deb and readelf are installed by
# scripts/setup-deps.sh, so a missing one is a failure, not a skip.
set -uo pipefail

build="$1" version="$2" cmake="$3" cpack="$4" qml_sources="$5" qt_qml="$6"
id=io.github.quillbrook.QuillBrook
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
passes=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { passes=$((passes + 1)); }
check() { # check DESCRIPTION COMMAND...
    local what="$1"; shift
    if "$@"; then pass; else fail "$what"; fi
}
need_tool() {
    command -v "$1" >/dev/null 2>&1 && return 0
    fail "$1 is missing (scripts/setup-deps.sh installs it)"
    return 1
}
# png_size FILE: "WIDTHxHEIGHT" from the PNG header.
png_size() {
    local bytes
    read -r -a bytes <<<"$(od -An -tu1 -j16 -N8 "$1")"
    [ "${#bytes[@]}" -eq 8 ] || return 1
    echo "$(( (bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3] ))x$(( (bytes[4] << 24) | (bytes[5] << 16) | (bytes[6] << 8) | bytes[7] ))"
}
# desktop_key FILE KEY: the value of KEY in the [Desktop Entry] group.
desktop_key() {
    awk -v key="$2" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
    ' "$1"
}
# has_item LIST ITEM: ITEM is one of the ;-separated LIST's entries.
has_item() { [[ ";$1;" == *";$2;"* ]]; }

# --- cmake --install into a temporary prefix ----------------------------------------------------
prefix="$work/prefix"
if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    echo "FAIL: cmake --install failed"
    exit 1
fi

for program in quillbrook quillbrook-cli; do
    check "bin/$program not installed as an executable" test -x "$prefix/bin/$program"
    # Programs in /usr/bin carry no RPATH or RUNPATH (Debian policy).
    if need_tool readelf && [ -x "$prefix/bin/$program" ]; then
        paths="$(readelf -d "$prefix/bin/$program" | grep -E '\((RPATH|RUNPATH)\)')"
        [ -z "$paths" ] && pass || fail "installed $program carries a search path: $paths"
    fi
done
desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
check "desktop file not installed" test -f "$desktop"
check "metainfo not installed" test -f "$metainfo"
check "scalable icon not installed" test -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
if [ -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ]; then
    check "scalable icon is not an SVG document" grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
fi
for size in 16 32 48 64 128 256; do
    png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    if [ -f "$png" ]; then
        actual="$(png_size "$png")"
        [ "$actual" = "${size}x${size}" ] && pass || fail "$png is $actual, not ${size}x${size}"
    else
        fail "icon ${size}x${size} not installed"
    fi
done
stray="$(find "$prefix" -type f ! -path "$prefix/bin/*" ! -path "$prefix/share/*")"
[ -z "$stray" ] && pass || fail "files outside bin and share: $stray"

# --- the launcher -------------------------------------------------------------------------------
if [ -f "$desktop" ]; then
    if need_tool desktop-file-validate; then
        check "desktop-file-validate rejects $id.desktop" desktop-file-validate "$desktop"
    fi
    [ "$(desktop_key "$desktop" Name)" = "Quill Brook" ] && pass || fail "Name is '$(desktop_key "$desktop" Name)'"
    [ "$(desktop_key "$desktop" Icon)" = "$id" ] && pass || fail "Icon is '$(desktop_key "$desktop" Icon)', not the app id"
    categories="$(desktop_key "$desktop" Categories)"
    check "Categories '$categories' lacks Office" has_item "$categories" Office
    check "Categories '$categories' lacks ProjectManagement" has_item "$categories" ProjectManagement
    check "MimeType does not register the quillbrook scheme" \
        has_item "$(desktop_key "$desktop" MimeType)" x-scheme-handler/quillbrook
    read -r -a exec_words <<<"$(desktop_key "$desktop" Exec)"
    [ "${exec_words[0]:-}" = quillbrook ] && pass || fail "Exec starts with '${exec_words[0]:-}', not quillbrook"
    [ "${exec_words[*]:1}" = "%U" ] && pass || fail "Exec passes '${exec_words[*]:1}', not %U"
fi

# --- the metainfo -------------------------------------------------------------------------------
if [ -f "$metainfo" ]; then
    if need_tool appstreamcli; then
        check "appstreamcli validate rejects the metainfo" appstreamcli validate --no-net "$metainfo"
        # The whole tree: the metainfo's launchable must name an installed, valid desktop file.
        check "appstreamcli validate-tree rejects the prefix" appstreamcli validate-tree --no-net "$prefix"
    fi
    check "metainfo id is not $id" grep -q "<id>$id</id>" "$metainfo"
    check "metainfo launchable is not $id.desktop" \
        grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
    newest="$(grep -o '<release [^>]*version="[^"]*"' "$metainfo" | head -n 1 | sed 's/.*version="\([^"]*\)"/\1/')"
    [ "$newest" = "$version" ] && pass || fail "newest metainfo release is '$newest', the project is $version"
fi

# --- the installed programs run from the prefix -------------------------------------------------
export XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" && mkdir -m 0700 "$XDG_RUNTIME_DIR"
if "$prefix/bin/quillbrook-cli" add --today Installed client works >"$work/cli.out" 2>&1 &&
   "$prefix/bin/quillbrook-cli" list today >>"$work/cli.out" 2>&1; then
    check "installed client does not list what it added" grep -q "Installed client works" "$work/cli.out"
else
    fail "installed quillbrook-cli failed: $(cat "$work/cli.out")"
fi
if "$prefix/bin/quillbrook" --self-test -cloudKitDisabled >"$work/app.out" 2>&1; then
    pass
else
    fail "installed quillbrook --self-test failed: $(cat "$work/app.out")"
fi

# --- the .deb -----------------------------------------------------------------------------------
need_tool dpkg-deb && need_tool dpkg-shlibdeps && {
    if "$cpack" -G DEB -B "$work/pkg" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
        pass
    else
        cat "$work/cpack.log"
        fail "cpack -G DEB failed"
    fi
    debs=("$work"/pkg/quillbrook_"$version"_*.deb)
    if [ -f "${debs[0]}" ]; then
        deb="${debs[0]}"
        dpkg-deb -c "$deb" | awk '{ print $NF }' >"$work/deb-files"
        for path in ./usr/bin/quillbrook ./usr/bin/quillbrook-cli \
                    "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml" \
                    "./usr/share/icons/hicolor/scalable/apps/$id.svg" \
                    "./usr/share/icons/hicolor/48x48/apps/$id.png" \
                    "./usr/share/icons/hicolor/256x256/apps/$id.png"; do
            check "package lacks $path" grep -qxF "$path" "$work/deb-files"
        done
        [ "$(dpkg-deb -f "$deb" Package)" = quillbrook ] && pass || fail "package name is '$(dpkg-deb -f "$deb" Package)'"
        [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] && pass || fail "package version is '$(dpkg-deb -f "$deb" Version)'"
        [ "$(dpkg-deb -f "$deb" Maintainer)" = "Quill Brook developers <dev@quillbrook.invalid>" ] && pass ||
            fail "maintainer is '$(dpkg-deb -f "$deb" Maintainer)'"

        # Depends: one package name a line, versions and alternatives dropped.
        dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/[[:space:]]//g' |
            grep -v '^$' | sort -u >"$work/depends"
        # What the programs load by name (QML modules, the icon font) or link, as Debian 12 names it;
        # libc6 and libstdc++6 come from dpkg-shlibdeps.
        for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6qml6 libqt6quick6 \
                       libqt6quickcontrols2-6 libqt6widgets6 libqt6network6 libqt6dbus6 libsqlite3-0 libicu72 \
                       qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript \
                       qml6-module-qtquick qml6-module-qtquick-window qml6-module-qtquick-templates \
                       qml6-module-qtquick-controls qml6-module-qtquick-layouts \
                       fonts-material-design-icons-iconfont; do
            check "Depends lacks $package" grep -qxF "$package" "$work/depends"
        done
        # Every QML module the app's sources import comes from a declared package.
        grep -ho '^import Qt[A-Za-z.]*' "$qml_sources"/*.qml | awk '{ print $2 }' | sort -u >"$work/imports"
        while read -r module; do
            qmldir="$qt_qml/${module//.//}/qmldir"
            owner="$(dpkg-query -S "$qmldir" 2>/dev/null | head -n 1 | cut -d: -f1)"
            if [ -z "$owner" ]; then
                fail "no installed Debian package provides QML module $module ($qmldir)"
            else
                check "QML module $module comes from $owner, which Depends lacks" grep -qxF "$owner" "$work/depends"
            fi
        done <"$work/imports"
        [ -s "$work/imports" ] && pass || fail "no QML imports found in $qml_sources"
        # Each dependency is a real package: the build machine has it installed.
        while read -r package; do
            dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" && pass ||
                fail "Depends names $package, which is not an installed Debian package here"
        done <"$work/depends"
    else
        fail "cpack made no quillbrook_${version}_*.deb in $work/pkg: $(ls "$work/pkg" 2>&1)"
    fi
}

echo "$passes checks passed, $failures failed"
[ "$failures" -eq 0 ]
