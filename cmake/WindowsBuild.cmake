# What the Windows build needs beyond the sources: resources the Windows Qt can read, the
# multimedia timer library, and the tests run as Windows programs under Wine.
if(NOT WIN32)
    return()
endif()

# Debian's rcc compresses with zstd by default, which the Windows Qt was built without.
set(CMAKE_AUTORCC_OPTIONS --no-zstd)

# Built on Linux, the tests and the programs they start run under Wine, with the Qt DLLs
# found through WINEPATH.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    get_filename_component(VORN_QT_BIN_DIR "${Qt6_DIR}/../../../bin" ABSOLUTE)
    # Wine shows the root of the Linux file system as drive Z:.
    string(REPLACE "/" "\\" VORN_QT_BIN_DIR_WINDOWS "Z:${VORN_QT_BIN_DIR}")
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${PROJECT_BINARY_DIR}/wine-run.sh
        @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_BINARY_DIR}/wine-run.sh)
endif()
