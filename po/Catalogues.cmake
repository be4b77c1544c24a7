# SPDX-FileCopyrightText: 2026 Kestrova developers
# SPDX-License-Identifier: MIT

# Keeps the translators' template and the catalogues in step with the sources.
#
#   cmake -DMODE=update -DSOURCE_DIR=... -DWORK=... -P Catalogues.cmake
#       extracts every marked text (Translate and Translatable) from the sources into
#       po/kestrova.pot with xgettext, and merges each po/<language>.po against it
#       with msgmerge; texts that changed come out fuzzy, for a translator to check.
#   cmake -DMODE=check ...
#       fails unless po/kestrova.pot is what the sources give, every .po is exactly
#       what msgmerge makes of it, and every text of the template has a translation
#       that is neither missing nor fuzzy in every .po (msgcmp).
#
# XGETTEXT, MSGMERGE and MSGCMP name the tools; VERSION is the package's version.

foreach(variable MODE SOURCE_DIR WORK XGETTEXT MSGMERGE MSGCMP VERSION)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "Catalogues.cmake needs -D${variable}=...")
    endif()
endforeach()

set(po_dir ${SOURCE_DIR}/po)
set(template ${po_dir}/kestrova.pot)
file(MAKE_DIRECTORY ${WORK})

# The sources of the programs, in a fixed order so that the template does not move.
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/cli/*.cpp ${SOURCE_DIR}/cli/*.h
     ${SOURCE_DIR}/fs/*.cpp ${SOURCE_DIR}/fs/*.h
     ${SOURCE_DIR}/i18n/*.cpp ${SOURCE_DIR}/i18n/*.h
     ${SOURCE_DIR}/paths/*.cpp ${SOURCE_DIR}/paths/*.h
     ${SOURCE_DIR}/report/*.cpp ${SOURCE_DIR}/report/*.h
     ${SOURCE_DIR}/res/*.cpp ${SOURCE_DIR}/res/*.h
     ${SOURCE_DIR}/settings/*.cpp ${SOURCE_DIR}/settings/*.h
     ${SOURCE_DIR}/sync/*.cpp ${SOURCE_DIR}/sync/*.h
     ${SOURCE_DIR}/ui/*.cpp ${SOURCE_DIR}/ui/*.h)
file(GLOB app_sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/app/*.cpp)
list(APPEND sources ${app_sources})
list(SORT sources)

# Writes the template made from the sources into `out`.
function(extract out)
    execute_process(
        COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ --keyword --keyword=Translate:1
                --keyword=Translatable:1 --add-comments=TRANSLATORS: --add-location=file
                --package-name=Kestrova --package-version=${VERSION}
                --copyright-holder=Kestrova\ developers
                --msgid-bugs-address=developers@kestrova.org --output=${out} ${sources}
        WORKING_DIRECTORY ${SOURCE_DIR}
        RESULT_VARIABLE failed
        ERROR_VARIABLE warnings)
    if(failed)
        message(FATAL_ERROR "xgettext failed:\n${warnings}")
    endif()
    file(READ ${out} text)
    string(REPLACE "# SOME DESCRIPTIVE TITLE." "# The texts of Kestrova, for its translators." text
                   "${text}")
    file(WRITE ${out} "${text}")
endfunction()

# The text of a template without its creation date, which changes with every extraction.
function(read_undated file out)
    file(READ ${file} text)
    string(REGEX REPLACE "\"POT-Creation-Date: [^\"]*\"" "" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

file(GLOB catalogues ${po_dir}/*.po)
set(problems "")

extract(${WORK}/kestrova.pot)
read_undated(${WORK}/kestrova.pot fresh)
set(stored "")
if(EXISTS ${template})
    read_undated(${template} stored)
endif()

if(MODE STREQUAL "update")
    if(NOT fresh STREQUAL stored)
        file(COPY_FILE ${WORK}/kestrova.pot ${template})
        message(STATUS "Wrote ${template}")
    endif()
    foreach(po ${catalogues})
        # Written whole, in msgmerge's own layout, which the check compares against.
        # msgmerge warns about every text that ends in "\r\n", as the report's lines do.
        get_filename_component(name ${po} NAME)
        execute_process(COMMAND ${MSGMERGE} --quiet --output-file=${WORK}/${name} ${po} ${template}
                        RESULT_VARIABLE failed ERROR_VARIABLE warnings)
        if(failed)
            message(FATAL_ERROR "msgmerge failed on ${po}:\n${warnings}")
        endif()
        file(COPY_FILE ${WORK}/${name} ${po} ONLY_IF_DIFFERENT)
    endforeach()
    return()
endif()

if(NOT fresh STREQUAL stored)
    string(APPEND problems "po/kestrova.pot does not list the texts the sources mark.\n")
endif()
foreach(po ${catalogues})
    get_filename_component(name ${po} NAME)
    execute_process(COMMAND ${MSGMERGE} --quiet --output-file=${WORK}/${name} ${po} ${template}
                    RESULT_VARIABLE failed ERROR_VARIABLE warnings)
    file(READ ${po} before)
    file(READ ${WORK}/${name} after)
    if(failed OR NOT before STREQUAL after)
        string(APPEND problems "po/${name} is not merged with po/kestrova.pot.\n")
    endif()
    execute_process(COMMAND ${MSGCMP} ${po} ${template} RESULT_VARIABLE incomplete
                    ERROR_VARIABLE missing)
    if(incomplete)
        string(APPEND problems "po/${name} lacks translations:\n${missing}")
    endif()
endforeach()
if(problems)
    message(FATAL_ERROR "${problems}Run: cmake --build BUILD --target update-translations, "
                        "then translate what is missing or fuzzy.")
endif()
