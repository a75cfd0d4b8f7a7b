# Installed layout: the program, swquelmor-cli, LANGUAGE and empty MASTER and PROJECTS sit
# together in one folder, as the program expects. A system install (/opt/swquelmor, not
# writable for users) keeps each user's data in ~/.local/share/Tessav/SWQuelmor instead.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "/opt/swquelmor" CACHE PATH "Install folder" FORCE)
endif()

install(TARGETS SWQuelmor swquelmor-cli RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_BINARY_DIR}/src/LANGUAGE/ DESTINATION LANGUAGE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/empty/ DESTINATION MASTER PATTERN .keep EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/empty/ DESTINATION PROJECTS PATTERN .keep EXCLUDE)

set(CPACK_PACKAGE_NAME "swquelmor")
set(CPACK_PACKAGE_VENDOR "Tessav")
set(CPACK_PACKAGE_CONTACT "Tessav <support@tessav.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator of the IEC61850 Client / EtherNet/IP converter")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_PACKAGE_FILE_NAME "swquelmor-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}")
# The portable archive unpacks into one folder that is the program folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/packaging/CPackPerGenerator.cmake")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/packaging/postinst")
include(CPack)
