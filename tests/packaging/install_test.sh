#!/usr/bin/env bash
# install_test.sh BUILD_DIR VERSION CMAKE CPACK QML_SOURCE_DIR QT_QML_DIR
# Installs BUILD_DIR into a temporary prefix and checks what a desktop sees there, runs the
# installed programs, then packs the client's and the app's .deb packages and checks their files,
# control fields and declared dependencies, and runs the client unpacked from them.
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
    check "manual page of $program not installed" test -s "$prefix/share/man/man1/$program.1.gz"
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
stray="$(find "$prefix" -type f ! -path "$prefix/bin/*" ! -path "$prefix/share/*" \
              ! -path "$prefix/libexec/quillbrook/quillbrook-cli-sync")"
[ -z "$stray" ] && pass || fail "files outside bin, share and the sync program: $stray"

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
# The client hands its sync commands to the program installed in the library folder.
check "the installed sync program carries a search path" \
    sh -c "! readelf -d '$prefix/libexec/quillbrook/quillbrook-cli-sync' | grep -qE '\((RPATH|RUNPATH)\)'"
if "$prefix/bin/quillbrook-cli" sync status >"$work/sync.out" 2>&1; then
    check "installed client's sync status is not the sync program's" grep -qxF "Not signed in." "$work/sync.out"
else
    fail "installed quillbrook-cli sync status failed: $(cat "$work/sync.out")"
fi
if "$prefix/bin/quillbrook" --self-test -cloudKitDisabled >"$work/app.out" 2>&1; then
    pass
else
    fail "installed quillbrook --self-test failed: $(cat "$work/app.out")"
fi

# --- the .deb packages --------------------------------------------------------------------------
# deb_depends DEB: its Depends, one package name a line, versions and alternatives dropped.
deb_depends() {
    dpkg-deb -f "$1" Depends | tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/[[:space:]]//g' | grep -v '^$' | sort -u
}
# check_deb DEB NAME: the control fields both packages share.
check_deb() {
    local deb="$1" name="$2" field
    [ "$(dpkg-deb -f "$deb" Package)" = "$name" ] && pass || fail "$deb: package name is '$(dpkg-deb -f "$deb" Package)'"
    [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] && pass || fail "$name: version is '$(dpkg-deb -f "$deb" Version)'"
    [ "$(dpkg-deb -f "$deb" Maintainer)" = "Quill Brook developers <dev@quillbrook.invalid>" ] && pass ||
        fail "$name: maintainer is '$(dpkg-deb -f "$deb" Maintainer)'"
    field="$(dpkg-deb -f "$deb" Description)"
    [ -n "$field" ] && [ "$(printf '%s\n' "$field" | awk 'length > 80' | wc -l)" -eq 0 ] && pass ||
        fail "$name: a Description line is empty or longer than 80 characters"
    dpkg-deb -c "$deb" | awk '{ print $NF }' >"$work/$name.files"
    for path in "./usr/share/man/man1/${3}.1.gz" "./usr/share/doc/$name/copyright"; do
        check "$name lacks $path" grep -qxF "$path" "$work/$name.files"
    done
    # Debian's machine-readable copyright format (sed reads to the end: with pipefail, head
    # closing the pipe early would fail the whole check when tar is still writing).
    dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/share/doc/$name/copyright" 2>/dev/null |
        sed -n 1p | grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' && pass ||
        fail "$name: copyright is not in the machine-readable format"
    # Each dependency is a real package: the build machine has it installed (or it is ours).
    while read -r package; do
        [ "$package" = quillbrook-cli ] && continue
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" && pass ||
            fail "$name: Depends names $package, which is not an installed Debian package here"
    done < <(deb_depends "$deb")
}

need_tool dpkg-deb && need_tool dpkg-shlibdeps && {
    if "$cpack" -G DEB -B "$work/pkg" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
        pass
    else
        cat "$work/cpack.log"
        fail "cpack -G DEB failed"
    fi
    cli_debs=("$work"/pkg/quillbrook-cli_"$version"_*.deb)
    app_debs=("$work"/pkg/quillbrook_"$version"_*.deb)
    if [ -f "${cli_debs[0]}" ] && [ -f "${app_debs[0]}" ]; then
        cli_deb="${cli_debs[0]}" app_deb="${app_debs[0]}"
        check_deb "$cli_deb" quillbrook-cli quillbrook-cli
        check_deb "$app_deb" quillbrook quillbrook

        # The client's package: the client alone, on Qt Core, SQLite and ICU.
        check "quillbrook-cli lacks its program" grep -qxF ./usr/bin/quillbrook-cli "$work/quillbrook-cli.files"
        unexpected="$(grep -vxE '\./usr/bin/quillbrook-cli|\./usr/share/man/man1/quillbrook-cli\.1\.gz|\./usr/share/doc/quillbrook-cli/copyright|.*/' "$work/quillbrook-cli.files")"
        [ -z "$unexpected" ] && pass || fail "quillbrook-cli holds more than the client: $unexpected"
        deb_depends "$cli_deb" >"$work/cli-depends"
        for package in libc6 libstdc++6 libqt6core6 libsqlite3-0 libicu72; do
            check "quillbrook-cli Depends lacks $package" grep -qxF "$package" "$work/cli-depends"
        done
        extra="$(grep -vxE 'libc6|libstdc\+\+6|libgcc-s1|libqt6core6|libsqlite3-0|libicu72' "$work/cli-depends")"
        [ -z "$extra" ] && pass || fail "quillbrook-cli depends on more than Qt Core, SQLite and ICU: $extra"

        # The app's package: the app, its desktop files and the client's sync program, on the
        # client's package.
        for path in ./usr/bin/quillbrook ./usr/libexec/quillbrook/quillbrook-cli-sync \
                    "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml" \
                    "./usr/share/icons/hicolor/scalable/apps/$id.svg" \
                    "./usr/share/icons/hicolor/48x48/apps/$id.png" \
                    "./usr/share/icons/hicolor/256x256/apps/$id.png"; do
            check "quillbrook lacks $path" grep -qxF "$path" "$work/quillbrook.files"
        done
        shared="$(comm -12 <(grep -v '/$' "$work/quillbrook-cli.files" | sort) <(grep -v '/$' "$work/quillbrook.files" | sort))"
        [ -z "$shared" ] && pass || fail "both packages hold $shared"
        dpkg-deb -f "$app_deb" Depends | tr ',' '\n' | sed 's/^ *//' | grep -qxF "quillbrook-cli (= $version)" && pass ||
            fail "quillbrook does not depend on quillbrook-cli (= $version): $(dpkg-deb -f "$app_deb" Depends)"
        deb_depends "$app_deb" >"$work/app-depends"
        # What the app loads by name (QML modules, the icon font) or links, as Debian 12 names it.
        for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6qml6 libqt6quick6 \
                       libqt6quickcontrols2-6 libqt6widgets6 libqt6network6 libqt6dbus6 libsqlite3-0 libicu72 \
                       libical3 libqt6keychain1 \
                       qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript \
                       qml6-module-qtquick qml6-module-qtquick-window qml6-module-qtquick-templates \
                       qml6-module-qtquick-controls qml6-module-qtquick-layouts \
                       fonts-material-design-icons-iconfont; do
            check "quillbrook Depends lacks $package" grep -qxF "$package" "$work/app-depends"
        done
        # Every QML module the app's sources import comes from a declared package.
        grep -ho '^import Qt[A-Za-z.]*' "$qml_sources"/*.qml | awk '{ print $2 }' | sort -u >"$work/imports"
        while read -r module; do
            qmldir="$qt_qml/${module//.//}/qmldir"
            owner="$(dpkg-query -S "$qmldir" 2>/dev/null | head -n 1 | cut -d: -f1)"
            if [ -z "$owner" ]; then
                fail "no installed Debian package provides QML module $module ($qmldir)"
            else
                check "QML module $module comes from $owner, which Depends lacks" grep -qxF "$owner" "$work/app-depends"
            fi
        done <"$work/imports"
        [ -s "$work/imports" ] && pass || fail "no QML imports found in $qml_sources"

        # Both unpacked into one root, as dpkg would install them: the client runs from there.
        root="$work/root"
        mkdir -p "$root"
        dpkg-deb -x "$cli_deb" "$root" && dpkg-deb -x "$app_deb" "$root" && pass || fail "unpacking the packages failed"
        if "$root/usr/bin/quillbrook-cli" add --today Packaged client works >"$work/deb-cli.out" 2>&1 &&
           "$root/usr/bin/quillbrook-cli" list today >>"$work/deb-cli.out" 2>&1; then
            check "packaged client does not list what it added" grep -q "Packaged client works" "$work/deb-cli.out"
        else
            fail "packaged quillbrook-cli failed: $(cat "$work/deb-cli.out")"
        fi
        check "packaged app is not executable" test -x "$root/usr/bin/quillbrook"
    else
        fail "cpack did not make quillbrook-cli_${version}_*.deb and quillbrook_${version}_*.deb: $(ls "$work/pkg" 2>&1)"
    fi
}

echo "$passes checks passed, $failures failed"
[ "$failures" -eq 0 ]
