# The portable zip of the Windows build: build/windows/zentil-<version>-windows-x64.zip holds one
# folder with the programs, the window and the command line (their symbols stripped), the README
# and the licence.
set(ZENTIL_ZIP zentil-${PROJECT_VERSION}-windows-x64)
set(ZENTIL_ZIP_STAGE ${CMAKE_BINARY_DIR}/zip)
set(programs zentil-report)
if(TARGET zentil)
  list(PREPEND programs zentil)
endif()
set(strip_programs)
foreach(program IN LISTS programs)
  list(APPEND strip_programs COMMAND ${CMAKE_STRIP} -o
       ${ZENTIL_ZIP_STAGE}/${ZENTIL_ZIP}/${program}.exe $<TARGET_FILE:${program}>)
endforeach()
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/${ZENTIL_ZIP}.zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZENTIL_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ZENTIL_ZIP_STAGE}/${ZENTIL_ZIP}
  ${strip_programs}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md
          ${ZENTIL_ZIP_STAGE}/${ZENTIL_ZIP}/README.md
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/LICENSE
          ${ZENTIL_ZIP_STAGE}/${ZENTIL_ZIP}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${ZENTIL_ZIP_STAGE}
          ${CMAKE_COMMAND} -E tar cf ${CMAKE_BINARY_DIR}/${ZENTIL_ZIP}.zip --format=zip ${ZENTIL_ZIP}
  DEPENDS ${programs} ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
  COMMENT "Packing ${ZENTIL_ZIP}.zip"
  VERBATIM)
add_custom_target(windows_zip ALL DEPENDS ${CMAKE_BINARY_DIR}/${ZENTIL_ZIP}.zip)
