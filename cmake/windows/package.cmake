# The Windows zip: `cmake --build build-windows --target windows_zip` writes
# dist/quorvatide-<version>-windows-x86_64.zip, one folder holding quorvatide.exe (linked
# statically: no DLL beside it), Assets/, LICENSE and README.txt, with Windows line ends.
set(QV_ZIP_NAME quorvatide-${PROJECT_VERSION}-windows-x86_64)
set(QV_ZIP_STAGE ${CMAKE_BINARY_DIR}/zip)
set(QV_ZIP ${CMAKE_SOURCE_DIR}/dist/${QV_ZIP_NAME}.zip)
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${CMAKE_BINARY_DIR}/generated/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_BINARY_DIR}/generated/LICENSE.txt
               @ONLY NEWLINE_STYLE CRLF)
# Every file dated the release's day (CHANGELOG.md), so the same files give the same zip.
set(QV_VERSION ${PROJECT_VERSION})
include(${CMAKE_SOURCE_DIR}/cmake/changelog.cmake)
add_custom_target(windows_zip
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${QV_ZIP_STAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QV_ZIP_STAGE}/${QV_ZIP_NAME} ${CMAKE_SOURCE_DIR}/dist
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quorvatide> ${QV_ZIP_STAGE}/${QV_ZIP_NAME}/
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QV_ASSET_DIR} ${QV_ZIP_STAGE}/${QV_ZIP_NAME}/Assets
  COMMAND ${CMAKE_COMMAND} -E rm -f ${QV_ZIP_STAGE}/${QV_ZIP_NAME}/Assets/debug.txt
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/generated/LICENSE.txt ${QV_ZIP_STAGE}/${QV_ZIP_NAME}/LICENSE
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/generated/README.txt ${QV_ZIP_STAGE}/${QV_ZIP_NAME}/README.txt
  COMMAND ${CMAKE_COMMAND} -E rm -f ${QV_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${QV_ZIP_STAGE}
          ${CMAKE_COMMAND} -E tar cf ${QV_ZIP} --format=zip --mtime=${QV_RELEASE_DATE} ${QV_ZIP_NAME}
  COMMAND ${CMAKE_COMMAND} -E echo "${QV_ZIP}"
  DEPENDS quorvatide assets
  COMMENT "Making ${QV_ZIP_NAME}.zip"
  VERBATIM)
