# SPDX-License-Identifier: GPL-3.0-or-later
# Every test program of the calling folder runs on Qt's offscreen platform. A static Qt links only
# its default platform plugin into a program, so the offscreen one is linked in by name there.
# The programs are also gathered under one target, so that a cross build can build just them.
function(brisalto_offscreen_test_programs group)
    get_target_property(qt_core_type Qt6::Core TYPE)
    get_property(targets DIRECTORY PROPERTY BUILDSYSTEM_TARGETS)
    add_custom_target(${group})
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(NOT type STREQUAL "EXECUTABLE")
            continue()
        endif()
        if(qt_core_type STREQUAL "STATIC_LIBRARY")
            qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
        endif()
        add_dependencies(${group} ${target})
    endforeach()
endfunction()
