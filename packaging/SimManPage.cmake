# vorn-sim's manual page is made from its --help at build time, so that it always lists the
# options and commands the program has. The help text's own headings ("Faults:" and the like)
# become subsections instead of indented paragraphs.
find_program(HELP2MAN help2man)
if(HELP2MAN)
    add_custom_command(OUTPUT man/vorn-sim.1
        COMMAND ${CMAKE_COMMAND} -E make_directory man
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${HELP2MAN} --no-info --no-discard-stderr --section=1
            --version-string=${PROJECT_VERSION}
            "--name=a Vorn GPI box in software, for trying the testers without hardware"
            --include=${CMAKE_CURRENT_SOURCE_DIR}/vorn-sim.h2m
            --output=man/vorn-sim.1 $<TARGET_FILE:vorn-sim>
        COMMAND sed -i -f ${CMAKE_CURRENT_SOURCE_DIR}/sim-man-headings.sed man/vorn-sim.1
        DEPENDS vorn-sim vorn-sim.h2m sim-man-headings.sed VERBATIM)
    vorn_gzip_man(${CMAKE_CURRENT_BINARY_DIR}/man/vorn-sim.1)
else()
    message(WARNING "help2man not found: vorn-sim is installed without its manual page")
endif()
