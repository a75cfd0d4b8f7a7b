# The Debian package installs the program folder as /opt/swquelmor and adds the system files
# around it; the portable archive is the program folder alone.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX "${CPACK_SWQ_SYSTEM_FOLDER}")
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX "/")
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_COMPONENTS_ALL program)
endif()
