# The Assets folder beside the executable is generated while building: qv_assetgen draws the
# pictures with cairo (text in the DejaVu fonts), synthesises the sounds and music, and writes
# settings.ini. Nothing it writes is kept in the repository.

if(WIN32)
  # The cross build takes the Assets folder the native build generated, as it is.
  set(QV_ASSETS_STAMP ${CMAKE_BINARY_DIR}/generated/assets.stamp)
  set(QV_ICON_DIR ${QV_NATIVE_BUILD}/generated/icons)
  add_custom_command(
    OUTPUT ${QV_ASSETS_STAMP}
    COMMAND ${CMAKE_COMMAND} -E remove_directory ${QV_ASSET_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${QV_NATIVE_BUILD}/Assets ${QV_ASSET_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${QV_ASSETS_STAMP}
    DEPENDS ${QV_NATIVE_BUILD}/generated/assets.stamp ${QV_NATIVE_BUILD}/generated/lesson.stamp
    COMMENT "Copying the Assets folder of the native build"
    VERBATIM)
  add_custom_target(assets ALL DEPENDS ${QV_ASSETS_STAMP})
  return()
endif()

pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)

file(GLOB QV_ASSETGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/assetgen/*.cpp)
add_executable(qv_assetgen ${QV_ASSETGEN_SOURCES} ${CMAKE_SOURCE_DIR}/core/settings.cpp)
target_include_directories(qv_assetgen PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(qv_assetgen PRIVATE PkgConfig::CAIRO PkgConfig::FREETYPE)
# Like the built-in art, the generator runs only during the build: no sanitizers, and always
# optimised, so that a debug or sanitizer build does not wait for the music.
set_property(TARGET qv_assetgen PROPERTY COMPILE_OPTIONS -Wall -Wextra -Werror -O2)
set_property(TARGET qv_assetgen PROPERTY LINK_OPTIONS "")

set(QV_ASSETS_STAMP ${CMAKE_BINARY_DIR}/generated/assets.stamp)
# The desktop icons, installed into the hicolor theme, are drawn beside it, and the page's
# (taken by the browser build, cmake/web_generated.cmake).
set(QV_ICON_DIR ${CMAKE_BINARY_DIR}/generated/icons)
set(QV_PAGE_ICON_DIR ${CMAKE_BINARY_DIR}/generated/page-icons)
add_custom_command(
  OUTPUT ${QV_ASSETS_STAMP}
  COMMAND qv_assetgen ${QV_ASSET_DIR} ${QV_DEJAVU_DIR} ${QV_ICON_DIR} ${QV_PAGE_ICON_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${QV_ASSETS_STAMP}
  DEPENDS qv_assetgen
  COMMENT "Generating the Assets folder"
  VERBATIM)

# The lesson's demonstrations, lesson-1.qvr ... lesson-8.qvr: its game played by a script on the
# game's own code and recorded into the Assets folder (tools/lesson/main.cpp), after the pictures
# it plays with. The fuzz targets have no use for them.
set(QV_LESSON_STAMP ${CMAKE_BINARY_DIR}/generated/lesson.stamp)
if(NOT QV_FUZZ)
  add_executable(qv_lesson_demos tools/lesson/main.cpp)
  target_link_libraries(qv_lesson_demos PRIVATE qv_frontend qv_platform_headless)
  add_custom_command(
    OUTPUT ${QV_LESSON_STAMP}
    COMMAND qv_lesson_demos ${QV_ASSET_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${QV_LESSON_STAMP}
    DEPENDS qv_lesson_demos ${QV_ASSETS_STAMP}
    COMMENT "Recording the lesson's demonstrations"
    VERBATIM)
  add_custom_target(assets ALL DEPENDS ${QV_ASSETS_STAMP} ${QV_LESSON_STAMP})
else()
  add_custom_target(assets ALL DEPENDS ${QV_ASSETS_STAMP})
endif()

# Contact sheet for reviewing the art: cmake --build build --target contact_sheet
# writes build/contact_sheet.png.
add_executable(qv_contact_sheet EXCLUDE_FROM_ALL tools/contact_sheet.cpp tools/assetgen/art.cpp)
target_link_libraries(qv_contact_sheet PRIVATE qv_platform_headless PkgConfig::CAIRO PkgConfig::FREETYPE)
add_custom_target(contact_sheet
  COMMAND qv_contact_sheet ${QV_ASSET_DIR} ${CMAKE_BINARY_DIR}/contact_sheet.png ${QV_DEJAVU_DIR}
  DEPENDS qv_contact_sheet assets
  COMMENT "Writing contact_sheet.png"
  VERBATIM)
