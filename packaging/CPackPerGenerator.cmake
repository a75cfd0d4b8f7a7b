# The Debian package installs into /opt/swquelmor; the portable archive is the folder itself.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX "/opt/swquelmor")
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX "/")
endif()
