# Installed layout: the program, swquelmor-cli, LANGUAGE and empty MASTER and PROJECTS sit
# together in one folder, as the program expects. A system install (/opt/swquelmor, not
# writable for users) keeps each user's data in ~/.local/share/Tessav/SWQuelmor instead.
set(SWQ_SYSTEM_FOLDER "/opt/swquelmor")
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "${SWQ_SYSTEM_FOLDER}" CACHE PATH "Install folder" FORCE)
endif()

# Component "program": the program folder, in the package and the portable archive alike.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME program)
install(TARGETS SWQuelmor swquelmor-cli RUNTIME DESTINATION .)
install(DIRECTORY ${PROJECT_BINARY_DIR}/src/LANGUAGE/ DESTINATION LANGUAGE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/empty/ DESTINATION MASTER PATTERN .keep EXCLUDE)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/packaging/empty/ DESTINATION PROJECTS PATTERN .keep EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/swquelmor.svg DESTINATION .)

# Around the folder, a Linux system install (the Debian package) adds the menu entry, the icon in
# the theme's sizes (48 and 256 px drawn from the SVG at build time), the AppStream metadata,
# swquelmor-cli on the PATH and the Debian documents: component "system".
if(UNIX)
  find_program(SWQ_RSVG_CONVERT rsvg-convert REQUIRED)
  set(swq_icons)
  foreach(size 48 256)
    set(png ${PROJECT_BINARY_DIR}/packaging/icons/${size}/swquelmor.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging/icons/${size}
      COMMAND ${SWQ_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PROJECT_SOURCE_DIR}/packaging/icons/swquelmor.svg
      DEPENDS ${PROJECT_SOURCE_DIR}/packaging/icons/swquelmor.svg)
    list(APPEND swq_icons ${png})
  endforeach()
  add_custom_target(swq_icons ALL DEPENDS ${swq_icons})

  set(share /usr/share)
  set(app_id example.tessav.SWQuelmor)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/${app_id}.desktop DESTINATION ${share}/applications COMPONENT system)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/${app_id}.metainfo.xml DESTINATION ${share}/metainfo COMPONENT system)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/swquelmor.svg DESTINATION ${share}/icons/hicolor/scalable/apps COMPONENT system)
  foreach(size 48 256)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/icons/${size}/swquelmor.png
      DESTINATION ${share}/icons/hicolor/${size}x${size}/apps COMPONENT system)
  endforeach()
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/packaging/doc)
  file(CREATE_LINK ${SWQ_SYSTEM_FOLDER}/swquelmor-cli ${PROJECT_BINARY_DIR}/packaging/swquelmor-cli SYMBOLIC)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/swquelmor-cli DESTINATION /usr/bin COMPONENT system)
  execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog
    OUTPUT_FILE ${PROJECT_BINARY_DIR}/packaging/doc/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/doc/changelog.gz
    DESTINATION ${share}/doc/swquelmor COMPONENT system)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION ${share}/lintian/overrides
    RENAME swquelmor COMPONENT system)
endif()

set(CPACK_PACKAGE_NAME "swquelmor")
set(CPACK_PACKAGE_VENDOR "Tessav")
set(CPACK_PACKAGE_CONTACT "Tessav <support@tessav.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator of the IEC61850 Client / EtherNet/IP converter")
set(CPACK_PACKAGE_DESCRIPTION "SWQuelmor prepares the configuration of the IEC61850 Client / EtherNet/IP converter: \
the network parameters of both sides, the IEC 61850 data attributes and data sets read from SCL files and \
their places in the converter's internal data array. It builds the device images and starts the update of \
the device over Ethernet. swquelmor-cli builds and inspects device images and reads SCL files without a window.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR "DEB;TGZ")
set(CPACK_STRIP_FILES ON)
set(CPACK_SWQ_SYSTEM_FOLDER "${SWQ_SYSTEM_FOLDER}")
set(CPACK_PACKAGE_FILE_NAME "swquelmor-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR}")
# The portable archive unpacks into one folder that is the program folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/packaging/CPackPerGenerator.cmake")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcap2-bin")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/packaging/postinst")
include(CPack)
