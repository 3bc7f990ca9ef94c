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
install(TARGETS tarvo tarvo-cli tarvo-drawd RUNTIME DESTINATION . COMPONENT portable)
install(FILES "${TARVO_PACKAGE_DATABASE}" DESTINATION . COMPONENT portable
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ GROUP_WRITE WORLD_READ)
install(FILES "${TARVO_PACKAGE_FILES}/tarvo.svg" "${TARVO_PACKAGE_FILES}/tarvo.desktop" DESTINATION . COMPONENT portable)
install(PROGRAMS "${TARVO_PACKAGE_FILES}/install-desktop-entry.sh" DESTINATION . COMPONENT portable)
install(FILES "${TARVO_PACKAGE_FILES}/README.txt" DESTINATION . COMPONENT portable)

# The Debian package: the programs and the empty database in /usr/lib/tarvo (not writable for the
# player, so the program keeps its files in ~/.local/share/Tarvo/ and copies the empty database
# there), `tarvo` on the path, the menu entry and its icon where the desktop looks for them.
set(TARVO_DEB_PROGRAM_DIR lib/tarvo)
install(TARGETS tarvo tarvo-cli tarvo-drawd RUNTIME DESTINATION ${TARVO_DEB_PROGRAM_DIR} COMPONENT debian)
install(FILES "${TARVO_PACKAGE_DATABASE}" DESTINATION ${TARVO_DEB_PROGRAM_DIR} COMPONENT debian
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(MAKE_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/deb-bin")
file(CREATE_LINK "../${TARVO_DEB_PROGRAM_DIR}/tarvo" "${CMAKE_CURRENT_BINARY_DIR}/deb-bin/tarvo" SYMBOLIC)
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/deb-bin/tarvo" DESTINATION bin COMPONENT debian)
install(FILES "${TARVO_PACKAGE_FILES}/tarvo.desktop" DESTINATION share/applications COMPONENT debian)
install(FILES "${TARVO_PACKAGE_FILES}/tarvo.svg" DESTINATION share/icons/hicolor/scalable/apps COMPONENT debian)

set(CPACK_PACKAGE_NAME "tarvo")
set(CPACK_PACKAGE_VENDOR "Tarvo")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tarvo 11选5精准计划软件: plans for 11-choose-5 lottery players")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_SYSTEM_NAME "Linux")
set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME}")
set(CPACK_GENERATOR "TGZ")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
# One package of the components its generator takes: the portable folder for TGZ, the system layout
# for DEB (see CPackGenerators.cmake).
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_ARCHIVE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}")
set(CPACK_DEBIAN_FILE_NAME "tarvo_${PROJECT_VERSION}_amd64.deb")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "amd64")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarvo <tarvo@users.noreply.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Keeps the draws of 山东, 广东, 重庆 and 江西 11选5 from the draw sources the player sets, and shows the plan report and the bets to place now.")
# Debian 12's Qt 6 runtime (with its SQLite driver, Charts and the X11 platform plugin) and a CJK font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6, libqt6widgets6, libqt6network6, libqt6sql6, libqt6sql6-sqlite, libqt6charts6, qt6-qpa-plugins, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/CPackGenerators.cmake")
include(CPack)
