# SPDX-License-Identifier: GPL-3.0-or-later
# The Spectrum's characters as a TrueType font, made at build time from a free ROM's character set
# (Debian's opense-basic) by app/make-zx-font.py with fontTools. The script runs on the
# build machine, a cross build's too.
set(BRISALTO_SPECTRUM_ROM /usr/share/spectrum-roms/opense.rom
    CACHE FILEPATH "The Spectrum ROM whose character set the built-in font is made from")

# A Python 3 that has fontTools: the first python3 on PATH may be another installation.
function(brisalto_python_has_fonttools result candidate)
    execute_process(COMMAND ${candidate} -c "import fontTools"
        RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    if(NOT status EQUAL 0)
        set(${result} FALSE PARENT_SCOPE)
    endif()
endfunction()
find_program(BRISALTO_FONT_PYTHON NAMES python3 VALIDATOR brisalto_python_has_fonttools
    NO_CMAKE_FIND_ROOT_PATH REQUIRED)
if(NOT EXISTS ${BRISALTO_SPECTRUM_ROM})
    message(FATAL_ERROR "No Spectrum ROM at ${BRISALTO_SPECTRUM_ROM}: install opense-basic")
endif()

# brisalto_spectrum_font(<output.ttf> <family name> [--inverse])
function(brisalto_spectrum_font output family)
    add_custom_command(OUTPUT ${output}
        COMMAND ${BRISALTO_FONT_PYTHON} ${PROJECT_SOURCE_DIR}/app/make-zx-font.py
            --rom ${BRISALTO_SPECTRUM_ROM} --output ${output} --family ${family} ${ARGN}
        DEPENDS ${PROJECT_SOURCE_DIR}/app/make-zx-font.py ${BRISALTO_SPECTRUM_ROM}
        VERBATIM)
endfunction()
