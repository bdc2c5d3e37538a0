# The command-line programs' manual pages are made from their --help at build time, so that
# they always list the options and commands the programs have. The help texts' own headings
# ("Faults:" and the like) become subsections instead of indented paragraphs.
find_program(HELP2MAN help2man)

# vorn_help_man_page(TARGET SUMMARY): man/TARGET.1, with TARGET.h2m's extra sections.
function(vorn_help_man_page target summary)
    if(NOT HELP2MAN)
        message(WARNING "help2man not found: ${target} is installed without its manual page")
        return()
    endif()
    add_custom_command(OUTPUT man/${target}.1
        COMMAND ${CMAKE_COMMAND} -E make_directory man
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            ${HELP2MAN} --no-info --no-discard-stderr --section=1
            --version-string=${PROJECT_VERSION} "--name=${summary}"
            --include=${CMAKE_CURRENT_SOURCE_DIR}/${target}.h2m
            --output=man/${target}.1 $<TARGET_FILE:${target}>
        COMMAND sed -i -f ${CMAKE_CURRENT_SOURCE_DIR}/sim-man-headings.sed man/${target}.1
        DEPENDS ${target} ${target}.h2m sim-man-headings.sed VERBATIM)
    vorn_gzip_man(${CMAKE_CURRENT_BINARY_DIR}/man/${target}.1)
    set(generated ${generated} PARENT_SCOPE)
endfunction()
