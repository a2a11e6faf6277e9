# CPack: `cpack -G DEB` in a build folder makes two packages installing under /usr:
#   quillbrook-cli_<version>_<arch>.deb  the command-line client; Qt Core, SQLite and ICU only
#   quillbrook_<version>_<arch>.deb      the desktop app, depending on the client's package
# so scripts and servers can have the client without the graphical stack. The QML modules and
# the icon font are loaded by name, so no library scan finds them: they are listed by hand.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillbrook)
set(CPACK_PACKAGE_VENDOR "Quill Brook developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL)
if(QB_BUILD_CLI)
    list(APPEND CPACK_COMPONENTS_ALL cli)
endif()
if(QB_BUILD_APP)
    list(APPEND CPACK_COMPONENTS_ALL app)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quill Brook developers <dev@quillbrook.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Inter-component dependencies become Depends with the exact version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# Descriptions: the first line is the synopsis; every line stays within 80 characters.
set(CPACK_DEBIAN_CLI_PACKAGE_NAME quillbrook-cli)
set(CPACK_COMPONENT_CLI_DESCRIPTION
"command-line client for the Quill Brook to-do list
quillbrook-cli adds, lists, edits, completes and searches the to-dos of a
Quill Brook store from a terminal or a script, through the same task
operations as the desktop app, and exports and imports the whole store as
JSON. It needs only Qt Core, SQLite and ICU, not the graphical stack.")

set(CPACK_DEBIAN_APP_PACKAGE_NAME quillbrook)
set(CPACK_COMPONENT_APP_DEPENDS cli)
set(CPACK_COMPONENT_APP_DESCRIPTION
"to-do list for planning a day
Quill Brook keeps to-dos in Today, Later and Done, with notes, scheduled
days, repeat rules, subtasks and a change log, in one private SQLite file.
Search finds any to-do by title or notes, and every edit that can be taken
back offers a four-second undo. This package holds the desktop app and the
client's sync commands; the command-line client comes with quillbrook-cli.")

# dpkg-shlibdeps (dpkg-dev) finds each program's linked libraries with their minimum versions,
# the C and C++ runtimes included; without it they are listed by name.
find_program(QB_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QB_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(QB_CLI_DEPENDS)
    set(QB_APP_DEPENDS)
else()
    # The client's sync commands run in quillbrook-cli-sync, which the app's package carries
    # with the app's own sync: Qt Network, libical and the keyring are the app's alone.
    set(QB_CLI_DEPENDS libqt6core6 libsqlite3-0 libicu72)
    set(QB_APP_DEPENDS libqt6core6 libqt6network6 libqt6dbus6 libsqlite3-0 libicu72 libical3
                       libqt6keychain1 libqt6gui6 libqt6qml6 libqt6quick6 libqt6quickcontrols2-6
                       libqt6widgets6)
endif()
list(APPEND QB_APP_DEPENDS
    qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
    qml6-module-qtquick qml6-module-qtquick-window qml6-module-qtquick-templates
    qml6-module-qtquick-controls qml6-module-qtquick-layouts
    fonts-material-design-icons-iconfont)
list(JOIN QB_CLI_DEPENDS ", " CPACK_DEBIAN_CLI_PACKAGE_DEPENDS)
list(JOIN QB_APP_DEPENDS ", " CPACK_DEBIAN_APP_PACKAGE_DEPENDS)
# Native Wayland windows; without it Qt falls back to XWayland.
set(CPACK_DEBIAN_APP_PACKAGE_RECOMMENDS qt6-wayland)

include(CPack)
