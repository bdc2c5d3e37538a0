# Checks of the files installed for the desktop, run with the other tests where the
# checkers are installed (CI installs them).
set(desktop_files vorn-gpi-tester.desktop vorn-zed8-tester.desktop)
set(metainfo_files ${VORN_GPI_APP_ID}.metainfo.xml ${VORN_ZED8_APP_ID}.metainfo.xml)

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    add_test(NAME packaging_desktop_entries COMMAND ${DESKTOP_FILE_VALIDATE} ${desktop_files}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    # The validator reports hints on standard output and exits 0.
    set_tests_properties(packaging_desktop_entries PROPERTIES FAIL_REGULAR_EXPRESSION ".")
else()
    message(STATUS "desktop-file-validate not found: the menu entries are not checked")
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    add_test(NAME packaging_appstream_metainfo
        COMMAND ${APPSTREAMCLI} validate --no-net --pedantic ${metainfo_files}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
else()
    message(STATUS "appstreamcli not found: the AppStream metadata is not checked")
endif()

# groff reports mistakes in manual pages as warnings and still exits 0.
find_program(GROFF groff)
if(GROFF)
    set(pages man/vorn-gpi-tester.1 man/vorn-zed8-tester.1)
    if(TARGET vorn-sim)
        list(APPEND pages man/vorn-sim.1)
    endif()
    if(TARGET vorn-check)
        list(APPEND pages man/vorn-check.1)
    endif()
    if(TARGET vorn-mon)
        list(APPEND pages man/vorn-mon.1)
    endif()
    foreach(page IN LISTS pages)
        get_filename_component(name ${page} NAME_WE)
        add_test(NAME packaging_man_${name} COMMAND ${GROFF} -man -ww -z ${page}
            WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
        set_tests_properties(packaging_man_${name} PROPERTIES FAIL_REGULAR_EXPRESSION ".")
    endforeach()
else()
    message(STATUS "groff not found: the manual pages are not checked")
endif()
