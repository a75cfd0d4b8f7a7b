# A Windows build made on Linux runs its own programs (the language folder tool at build time,
# the tests and their discovery under ctest) through build/wine-run: Wine with the folders of
# the DLLs they load (Qt's and the compiler's) on its PATH. Set as the cross-compiling emulator
# before any target exists, so every executable target gets it.
set(SWQ_WINEPREFIX "${CMAKE_BINARY_DIR}/wine" CACHE PATH "Wine folder for running the Windows programs of the build")

set(swq_dll_folders "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
foreach(dll libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll} OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}")
    message(FATAL_ERROR "The compiler does not know where ${dll} is")
  endif()
  get_filename_component(folder "${found}" DIRECTORY)
  get_filename_component(folder "${folder}" REALPATH)
  list(APPEND swq_dll_folders "${folder}")
endforeach()
list(REMOVE_DUPLICATES swq_dll_folders)
# Wine sees the Linux root as drive Z:.
set(SWQ_WINEPATH)
foreach(folder IN LISTS swq_dll_folders)
  string(REPLACE "/" "\\" windows "${folder}")
  list(APPEND SWQ_WINEPATH "Z:${windows}")
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
endif()
