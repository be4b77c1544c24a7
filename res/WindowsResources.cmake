# SPDX-FileCopyrightText: 2026 Kestrova developers
# SPDX-License-Identifier: MIT

# The Windows programs' resources. res/kestrova.rc (icon 128, bitmap 132 and the window's
# manifest, which selects common controls 6 and the display-resolution awareness) goes
# into kestrova.exe and into the test programs that open its dialogs; res/kestrova-sync.rc
# (the icon and the command's manifest) into kestrova-sync.exe; each program gets a
# version record. Manifests and version records carry the project's version, so they are
# configured into the build tree's res folder, where windres finds them.
enable_language(RC)

set(KESTROVA_VERSION_QUAD
    ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
string(REPLACE "." "," KESTROVA_VERSION_COMMAS ${KESTROVA_VERSION_QUAD})
set(KESTROVA_RESOURCE_DIR ${PROJECT_BINARY_DIR}/res)
foreach(manifest kestrova kestrova-sync)
    configure_file(${PROJECT_SOURCE_DIR}/res/${manifest}.manifest.in
                   ${KESTROVA_RESOURCE_DIR}/${manifest}.manifest @ONLY)
endforeach()

# Adds the resource script FILE (in res/) to TARGET, rebuilt when the files it names change.
function(kestrova_resource_script target file)
    set(script ${PROJECT_SOURCE_DIR}/res/${file})
    target_sources(${target} PRIVATE ${script})
    set_property(SOURCE ${script} APPEND PROPERTY INCLUDE_DIRECTORIES ${KESTROVA_RESOURCE_DIR})
    set_property(SOURCE ${script} APPEND PROPERTY OBJECT_DEPENDS ${ARGN})
endfunction()

function(kestrova_windows_resources target)
    kestrova_resource_script(${target} kestrova.rc ${PROJECT_SOURCE_DIR}/res/128.ico
                             ${PROJECT_SOURCE_DIR}/res/132.bmp
                             ${KESTROVA_RESOURCE_DIR}/kestrova.manifest)
endfunction()

function(kestrova_command_resources target)
    kestrova_resource_script(${target} kestrova-sync.rc ${PROJECT_SOURCE_DIR}/res/128.ico
                             ${KESTROVA_RESOURCE_DIR}/kestrova-sync.manifest)
endfunction()

# Gives the program TARGET its version record (res/version.rc.in), which Explorer's
# properties and the list of installed programs show, with DESCRIPTION as its
# description.
function(kestrova_windows_version target description)
    set(KESTROVA_FILE_NAME ${target})
    set(KESTROVA_FILE_DESCRIPTION ${description})
    set(script ${KESTROVA_RESOURCE_DIR}/${target}-version.rc)
    configure_file(${PROJECT_SOURCE_DIR}/res/version.rc.in ${script} @ONLY)
    target_sources(${target} PRIVATE ${script})
endfunction()
