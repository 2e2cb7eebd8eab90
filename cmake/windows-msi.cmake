# The per-user installer of the Windows build: build/windows/zentil-<version>-windows-x64.msi,
# made by wixl from packaging/windows/zentil.wxs. It holds the programs (their symbols stripped,
# as in the zip), the README, the licence, the icon of "Apps & features" and, when the build has
# the window (target zentil), zentil.exe and its Start-menu shortcut. scripts/check-msi.sh
# installs, upgrades and removes it under Wine.
find_program(WIXL wixl REQUIRED)
if(NOT TARGET zentil_icons)
  add_subdirectory(${CMAKE_SOURCE_DIR}/data ${CMAKE_BINARY_DIR}/data)
endif()

# Whether the window is there is known only when every directory has been read.
function(zentil_add_windows_msi)
  set(msi ${CMAKE_BINARY_DIR}/zentil-${PROJECT_VERSION}-windows-x64.msi)
  set(stage ${CMAKE_BINARY_DIR}/msi)
  set(wxs ${CMAKE_SOURCE_DIR}/packaging/windows/zentil.wxs)
  set(programs zentil-report)
  set(window)
  if(TARGET zentil)
    list(APPEND programs zentil)
    set(window -D Window=yes)
  endif()
  set(strip)
  foreach(program IN LISTS programs)
    list(APPEND strip COMMAND ${CMAKE_STRIP} -o ${stage}/${program}.exe
         $<TARGET_FILE:${program}>)
  endforeach()
  add_custom_command(
    OUTPUT ${msi}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    ${strip}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/README.md ${stage}/README.md
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E copy ${ZENTIL_ICON_ICO} ${stage}/zentil.ico
    # wixl finds the files by their names in the current folder.
    COMMAND ${CMAKE_COMMAND} -E chdir ${stage}
            ${WIXL} --arch x64 -D Version=${PROJECT_VERSION} ${window} -o ${msi} ${wxs}
    DEPENDS ${programs} zentil_icons ${ZENTIL_ICON_ICO} ${wxs} ${CMAKE_SOURCE_DIR}/README.md
            ${CMAKE_SOURCE_DIR}/LICENSE
    COMMENT "Making zentil-${PROJECT_VERSION}-windows-x64.msi"
    VERBATIM)
  add_custom_target(windows_msi ALL DEPENDS ${msi})
endfunction()
cmake_language(DEFER CALL zentil_add_windows_msi)
