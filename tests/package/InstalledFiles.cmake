# SPDX-FileCopyrightText: 2026 Kestrova developers
# SPDX-License-Identifier: MIT

# Installs the build into a scratch folder and compares the files installed with
# the expected list: a file dropped from the install rules, or one put in the
# wrong place, changes the package's file list and fails here.
set(root ${WORK}/root)
file(REMOVE_RECURSE ${root})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${root}/usr
                OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${root} ${root}/*)
list(SORT installed)
file(STRINGS ${EXPECTED} expected)
list(SORT expected)
if(NOT installed STREQUAL expected)
    set(missing ${expected})
    list(REMOVE_ITEM missing ${installed})
    set(extra ${installed})
    list(REMOVE_ITEM extra ${expected})
    message(FATAL_ERROR "installed files differ from ${EXPECTED}\n"
                        "missing: ${missing}\nnot expected: ${extra}")
endif()
file(REMOVE_RECURSE ${root})
