# CPack: `cpack -G DEB` in a build folder makes quillbrook_<version>_<arch>.deb installing under
# /usr. The dependencies are the Debian 12 packages the app and the client load at run time; the
# QML modules and the icon font are loaded by name, so no library scan can find them.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillbrook)
set(CPACK_PACKAGE_VENDOR "Quill Brook developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "to-do list for planning a day")
set(CPACK_PACKAGE_DESCRIPTION
    "Quill Brook keeps to-dos in Today, Later and Done, with notes, scheduled days, repeat rules,
subtasks and a change log, in one private SQLite file. The package holds the desktop app
(quillbrook) and a command-line client for scripts (quillbrook-cli).")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quill Brook developers <dev@quillbrook.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps (dpkg-dev) finds the linked libraries with their minimum versions, the C and C++
# runtimes included; without it they are listed by name.
find_program(QB_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QB_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(QB_DEBIAN_DEPENDS)
else()
    set(QB_DEBIAN_DEPENDS libqt6core6 libqt6network6 libqt6dbus6 libsqlite3-0 libicu72 libical3
        libqt6keychain1)
    if(QB_BUILD_APP)
        list(APPEND QB_DEBIAN_DEPENDS libqt6gui6 libqt6qml6 libqt6quick6 libqt6quickcontrols2-6
             libqt6widgets6)
    endif()
endif()
if(QB_BUILD_APP)
    list(APPEND QB_DEBIAN_DEPENDS
        qml6-module-qtqml qml6-module-qtqml-models qml6-module-qtqml-workerscript
        qml6-module-qtquick qml6-module-qtquick-window qml6-module-qtquick-templates
        qml6-module-qtquick-controls qml6-module-qtquick-layouts
        fonts-material-design-icons-iconfont)
    # Native Wayland windows; without it Qt falls back to XWayland.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
endif()
list(JOIN QB_DEBIAN_DEPENDS ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)
