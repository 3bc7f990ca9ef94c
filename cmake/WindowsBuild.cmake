# Settings of the Windows build (MinGW-w64 cross build from Debian). Included after Qt is found and
# before any target is made, so every executable takes the emulator below.
enable_language(RC)

# The DLL folders a program of this build loads from: Qt's bin folder and the MinGW runtime
# (libstdc++, libgcc_s, libwinpthread).
get_target_property(TARVO_QT_CORE_DLL Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(TARVO_QT_BIN_DIR "${TARVO_QT_CORE_DLL}" DIRECTORY)
get_filename_component(TARVO_QT_DIR "${TARVO_QT_BIN_DIR}" DIRECTORY)
foreach(runtime libstdc++-6 libgcc_s_seh-1 libwinpthread-1)
    execute_process(COMMAND "${CMAKE_CXX_COMPILER}" -print-file-name=${runtime}.dll
                    OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
        message(FATAL_ERROR "The MinGW runtime ${runtime}.dll was not found by ${CMAKE_CXX_COMPILER}")
    endif()
    list(APPEND TARVO_MINGW_RUNTIME_DLLS "${runtime_path}")
    get_filename_component(runtime_dir "${runtime_path}" DIRECTORY)
    list(APPEND TARVO_DLL_DIRS "${runtime_dir}")
endforeach()
list(PREPEND TARVO_DLL_DIRS "${TARVO_QT_BIN_DIR}")
list(REMOVE_DUPLICATES TARVO_DLL_DIRS)
set(TARVO_MINGW_RUNTIME_DLLS "${TARVO_MINGW_RUNTIME_DLLS}" CACHE INTERNAL "")

# Wine reads its DLL search path as Windows paths; the host's root is drive Z:.
set(TARVO_WINEPATH "")
foreach(dir IN LISTS TARVO_DLL_DIRS)
    string(REPLACE "/" "\\" windows_dir "Z:${dir}")
    string(APPEND TARVO_WINEPATH "${windows_dir};")
endforeach()

# ctest and gtest_discover_tests run the .exe files through this script under Wine.
configure_file("${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_BINARY_DIR}/wine-run")

# Gives a program the icon and version information Explorer shows. The resource text is UTF-8.
function(tarvo_windows_resource target description)
    set(TARVO_WINDOWS_ICON "${PROJECT_SOURCE_DIR}/packaging/windows/tarvo.ico")
    set(TARVO_WINDOWS_NAME "${target}")
    set(TARVO_WINDOWS_DESCRIPTION "${description}")
    set(resource "${CMAKE_CURRENT_BINARY_DIR}/${target}.rc")
    configure_file("${PROJECT_SOURCE_DIR}/packaging/windows/tarvo.rc.in" "${resource}" @ONLY)
    target_sources(${target} PRIVATE "${resource}")
    set_property(SOURCE "${resource}" APPEND PROPERTY COMPILE_OPTIONS -c65001)
endfunction()
