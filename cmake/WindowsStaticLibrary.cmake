# SPDX-License-Identifier: GPL-3.0-or-later
# brisalto_windows_static_library(TARGET LIBRARY [DEFINITIONS ...] [LINK ...])
#
# The imported target TARGET for the static Windows build of LIBRARY (libarchive, libsndfile,
# libspectrum) that tools/build-LIBRARY-windows keeps in a cache and whose install folder it
# prints: BRISALTO_<NAME>_WINDOWS names that folder, from the environment or the CMake cache.
# The environment wins, since a rebuilt cache has a new name.
function(brisalto_windows_static_library target library)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "DEFINITIONS;LINK")
    string(REGEX REPLACE "^lib" "" name "${library}")
    string(TOUPPER "${name}" name)
    set(folder "BRISALTO_LIB${name}_WINDOWS")
    set(tool "tools/build-${library}-windows")
    set(${folder} "$ENV{${folder}}" CACHE PATH "Install folder of ${tool}")
    if(DEFINED ENV{${folder}})
        set(${folder} "$ENV{${folder}}" CACHE PATH "Install folder of ${tool}" FORCE)
    endif()
    if(NOT EXISTS "${${folder}}/lib/${library}.a")
        message(FATAL_ERROR "No static ${library} for Windows: run ${tool} "
                            "and set ${folder} to what it prints")
    endif()
    add_library(${target} STATIC IMPORTED)
    set_target_properties(${target} PROPERTIES
        IMPORTED_LOCATION "${${folder}}/lib/${library}.a"
        INTERFACE_INCLUDE_DIRECTORIES "${${folder}}/include")
    if(arg_DEFINITIONS)
        set_target_properties(${target} PROPERTIES
            INTERFACE_COMPILE_DEFINITIONS "${arg_DEFINITIONS}")
    endif()
    if(arg_LINK)
        set_target_properties(${target} PROPERTIES INTERFACE_LINK_LIBRARIES "${arg_LINK}")
    endif()
endfunction()
