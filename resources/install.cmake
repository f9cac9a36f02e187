# Places the program's own files beside the executable in <build>/bin: the manual, the
# licence text and the default skin, plus set.xxt naming that skin when there is none
# (an existing set.xxt holds the user's own choice and is left alone).
add_custom_target(sonaro-files ALL
  COMMAND ${CMAKE_COMMAND} -DRES=${CMAKE_CURRENT_LIST_DIR} -DBIN=${CMAKE_BINARY_DIR}/bin
          -P ${CMAKE_CURRENT_LIST_DIR}/placefiles.cmake
  COMMENT "Manual, licence, default skin and set.xxt beside the executable"
  VERBATIM)
if(TARGET sonaro)
  add_dependencies(sonaro sonaro-files)
endif()
