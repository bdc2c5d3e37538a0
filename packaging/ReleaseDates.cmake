# Release dates come from CHANGELOG.md, whose headings read "## <title> <version> - <date>".
# A version that has no heading there stops the configuration: every release is written up.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md vorn_changelog_headings REGEX "^## ")

function(vorn_release_date title version out_var)
    string(REPLACE "." "\\." version_pattern ${version})
    foreach(heading IN LISTS vorn_changelog_headings)
        if(heading MATCHES "^## ${title} ${version_pattern} - ([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])$")
            set(${out_var} ${CMAKE_MATCH_1} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    message(FATAL_ERROR "CHANGELOG.md has no heading \"## ${title} ${version} - YYYY-MM-DD\"")
endfunction()
