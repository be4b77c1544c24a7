# SPDX-FileCopyrightText: 2026 Kestrova developers
# SPDX-License-Identifier: MIT

# The Debian package, made by CPack from the install rules: tools/package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrova)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kestrova developers")
set(CPACK_PACKAGE_CONTACT "Kestrova developers <developers@kestrova.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keep backup copies of folders up to date")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kestrova keeps a list of folder pairs, each a source and a target. For every
checked pair a run copies into the target every file that is missing there or
whose modification time differs, recreates the sub-folders and, when asked,
removes from the target what no longer exists in the source.

A copy never leaves a half-written file: the previous backup copy stays as it
was until the new one is complete. The package holds the window (kestrova) and
the command kestrova-sync for scripts and scheduled backups, with systemd user
units that run it daily once the user enables the timer.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-arphic-uming, qt6-translations-l10n, qt6-wayland, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/out)
include(CPack)
