# The program icon, drawn from packaging/icons/swquelmor.svg, and the version information that
# Windows shows in a program's properties.
enable_language(RC)
find_program(SWQ_RSVG_CONVERT rsvg-convert REQUIRED)
set(SWQ_WINDOWS_ICON ${PROJECT_BINARY_DIR}/swquelmor.ico)
add_custom_command(OUTPUT ${SWQ_WINDOWS_ICON}
  COMMAND ${PROJECT_SOURCE_DIR}/tools/make-ico ${PROJECT_SOURCE_DIR}/packaging/icons/swquelmor.svg ${SWQ_WINDOWS_ICON}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/icons/swquelmor.svg ${PROJECT_SOURCE_DIR}/tools/make-ico)
add_custom_target(swq_windows_icon DEPENDS ${SWQ_WINDOWS_ICON})

# swq_windows_resources(TARGET DESCRIPTION): gives the program TARGET the icon and the version.
function(swq_windows_resources target description)
  set(SWQ_RC_NAME ${target})
  set(SWQ_RC_DESCRIPTION ${description})
  set(SWQ_RC_ICON ${SWQ_WINDOWS_ICON})
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/WindowsResources.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${SWQ_WINDOWS_ICON})
  add_dependencies(${target} swq_windows_icon)
endfunction()
