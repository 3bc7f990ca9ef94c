# Read by cpack for each generator: the portable folder is the TGZ, the system layout under /usr the DEB.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_COMPONENTS_ALL debian)
    set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_COMPONENTS_ALL portable)
endif()
