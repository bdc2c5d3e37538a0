# vorn-check's manual page, made from its --help at build time like vorn-sim's.
find_program(HELP2MAN help2man)
if(HELP2MAN)
    add_custom_command(OUTPUT man/vorn-check.1
        COMMAND ${CMAKE_COMMAND} -E make_directory man
        COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1
            "--name=check the wiring of a Vorn GPI box with its outputs looped back to its inputs"
            --include=${CMAKE_CURRENT_SOURCE_DIR}/vorn-check.h2m
            --output=man/vorn-check.1 $<TARGET_FILE:vorn-check>
        COMMAND sed -i -f ${CMAKE_CURRENT_SOURCE_DIR}/sim-man-headings.sed man/vorn-check.1
        DEPENDS vorn-check vorn-check.h2m sim-man-headings.sed VERBATIM)
    vorn_gzip_man(${CMAKE_CURRENT_BINARY_DIR}/man/vorn-check.1)
else()
    message(WARNING "help2man not found: vorn-check is installed without its manual page")
endif()
