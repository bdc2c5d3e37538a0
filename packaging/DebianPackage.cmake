# One Debian package, vorn-tester, holds both testers and the simulator: they are built from
# one source, need the same Qt libraries, and a bench that has both box models wants both
# menu entries and the simulator from a single install. A package has one version, the
# project's; each program's own version is in its window caption, its AppStream release and
# the versioned Provides below.
#
#   cpack --config <build>/CPackConfig.cmake -B <output folder>

set(VORN_PACKAGE_MAINTAINER "Vorn tester maintainers <maintainers@vorn-tester.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VORN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "test utilities for the Vorn network GPI box")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Desktop programs that connect to a Vorn GPI box over TCP, switch its"
    "outputs, watch its inputs, walk through the outputs automatically, let the"
    "outputs follow the inputs, and log every request and answer with time stamps."
    ""
    "${VORN_GPI_TITLE} ${VORN_GPI_VERSION} drives the 24-GPI box,"
    "${VORN_ZED8_TITLE} ${VORN_ZED8_VERSION} the 8-GPI box. vorn-sim plays a Vorn box"
    "on the local machine so that the testers can be tried without hardware.")
string(APPEND CPACK_PACKAGE_DESCRIPTION "\n"
    "vorn-check checks the wiring of a box whose outputs are looped back to its\n"
    "inputs, channel by channel, from the command line. vorn-mon watches a box\n"
    "without changing it: one line per GPI change with its time, pulse width and\n"
    "count, as text or JSON lines, and a Value Change Dump for logic-analyser\n"
    "viewers.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries the programs link: Qt's platform plugins, without which no window
# opens, and the font face the window's captions are laid out for.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_PROVIDES
    "vorn-gpi-tester (= ${VORN_GPI_VERSION}), vorn-zed8-tester (= ${VORN_ZED8_VERSION})")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian's changelog of the package, dated by the newer of the two releases.
vorn_release_date("${VORN_GPI_TITLE}" ${VORN_GPI_VERSION} gpi_date)
vorn_release_date("${VORN_ZED8_TITLE}" ${VORN_ZED8_VERSION} zed8_date)
set(package_date ${gpi_date})
if(zed8_date STRGREATER gpi_date)
    set(package_date ${zed8_date})
endif()
execute_process(COMMAND date -u -R -d "${package_date} 00:00 UTC" OUTPUT_VARIABLE package_date
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(debian-changelog.in changelog @ONLY)
add_custom_command(OUTPUT changelog.gz
    COMMAND gzip -9 -n -f -k changelog
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog VERBATIM)
add_custom_target(vorn-debian-changelog ALL DEPENDS changelog.gz)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The copyright file in Debian's machine-readable format, with the notice and the licence
# text taken from LICENSE: its "Copyright (c) " line, and the text from "Permission" on with
# every line indented and each empty line written as " .".
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license)
string(FIND "${license}" "Permission " license_start)
if(NOT license MATCHES "\nCopyright \\(c\\) ([^\n]+)\n" OR license_start EQUAL -1)
    message(FATAL_ERROR "LICENSE has no \"Copyright (c) \" line or no licence text")
endif()
set(vorn_copyright ${CMAKE_MATCH_1})
string(SUBSTRING "${license}" ${license_start} -1 vorn_license_text)
string(STRIP "${vorn_license_text}" vorn_license_text)
string(REPLACE "\n\n" "\n.\n" vorn_license_text "${vorn_license_text}")
string(REPLACE "\n" "\n " vorn_license_text " ${vorn_license_text}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
configure_file(debian-copyright.in copyright @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/out/")

include(CPack)
