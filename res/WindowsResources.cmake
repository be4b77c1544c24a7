# The Windows window program's resources (res/kestrova.rc: icon 128, bitmap 132 and the
# manifest that selects common controls 6 and the display-resolution awareness), for
# kestrova.exe and for the test programs that open its dialogs.
enable_language(RC)

function(kestrova_windows_resources target)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/res/kestrova.rc)
    set_property(SOURCE ${PROJECT_SOURCE_DIR}/res/kestrova.rc APPEND PROPERTY OBJECT_DEPENDS
                 ${PROJECT_SOURCE_DIR}/res/128.ico ${PROJECT_SOURCE_DIR}/res/132.bmp
                 ${PROJECT_SOURCE_DIR}/res/kestrova.manifest)
endfunction()
