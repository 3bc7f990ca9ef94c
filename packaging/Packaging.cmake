# The portable program folder: the program, its two companion tools, an empty draw database, the
# icon, a desktop entry and the script that adds that entry to the user's menu. The program keeps
# its database and page file beside its executable, so the folder is unpacked where its user may
# write (e.g. the home folder) and used in place. `cpack -G TGZ` in the build folder writes
# tarvo-<version>-Linux.tar.gz holding the single folder tarvo-<version>-Linux/.
# Qt comes from Debian 12's runtime packages: libqt6core6, libqt6gui6 (holds the X11 platform plugin),
# libqt6widgets6, libqt6network6, libqt6sql6, libqt6sql6-sqlite (the SQLite driver) and libqt6charts6, with
# fonts-wqy-microhei for the Chinese text.

# The empty draw database shipped in the folder, made by the companion tool when the program is built.
set(TARVO_PACKAGE_STAGE "${CMAKE_CURRENT_BINARY_DIR}/package-stage")
set(TARVO_PACKAGE_DATABASE "${TARVO_PACKAGE_STAGE}/彩票数据.mdb")
add_custom_command(
    OUTPUT "${TARVO_PACKAGE_DATABASE}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${TARVO_PACKAGE_STAGE}"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${TARVO_PACKAGE_DATABASE}"
    COMMAND tarvo-cli init-db --db "${TARVO_PACKAGE_DATABASE}"
    DEPENDS tarvo-cli
    COMMENT "Creating the empty draw database of the portable folder"
    VERBATIM)
add_custom_target(tarvo-package-database ALL DEPENDS "${TARVO_PACKAGE_DATABASE}")

set(TARVO_PACKAGE_FILES "${CMAKE_CURRENT_LIST_DIR}")
install(TARGETS tarvo tarvo-cli tarvo-drawd RUNTIME DESTINATION .)
install(FILES "${TARVO_PACKAGE_DATABASE}" DESTINATION .
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ GROUP_WRITE WORLD_READ)
install(FILES "${TARVO_PACKAGE_FILES}/tarvo.svg" "${TARVO_PACKAGE_FILES}/tarvo.desktop" DESTINATION .)
install(PROGRAMS "${TARVO_PACKAGE_FILES}/install-desktop-entry.sh" DESTINATION .)
install(FILES "${TARVO_PACKAGE_FILES}/README.txt" DESTINATION .)

set(CPACK_PACKAGE_NAME "tarvo")
set(CPACK_PACKAGE_VENDOR "Tarvo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tarvo 11选5精准计划软件: plans for 11-choose-5 lottery players")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_SYSTEM_NAME "Linux")
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME}")
set(CPACK_GENERATOR "TGZ")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
