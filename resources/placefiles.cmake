# cmake -DRES=<resources dir> -DBIN=<executable dir> -P placefiles.cmake
file(MAKE_DIRECTORY ${BIN}/Manuale ${BIN}/skin)
file(GLOB manual RELATIVE ${RES}/Manuale ${RES}/Manuale/*)
foreach(f ${manual})
  configure_file(${RES}/Manuale/${f} ${BIN}/Manuale/${f} COPYONLY)
endforeach()
configure_file(${RES}/licenzaSonaro.txt ${BIN}/licenzaSonaro.txt COPYONLY)
configure_file(${RES}/skin/sonaro.jpg ${BIN}/skin/sonaro.jpg COPYONLY)
if(NOT EXISTS ${BIN}/set.xxt)
  # One line, the skin's full path, CR LF: as the CD window writes it back.
  file(WRITE ${BIN}/set.xxt "${BIN}/skin/sonaro.jpg\r\n")
endif()
