# The browser build takes what the build machine's generators made in a native build
# (QV_NATIVE_BUILD): the built-in font and pictures, and the Assets folder, copied into this
# build's Assets with the music also encoded as Ogg Vorbis for the page (cmake/web.cmake).
set(QV_NATIVE_BUILD "" CACHE PATH "A native build of the same source, for its generated files")
if(NOT EXISTS ${QV_NATIVE_BUILD}/generated/builtin_art_data.cpp
   OR NOT EXISTS ${QV_NATIVE_BUILD}/Assets/settings.ini)
  message(FATAL_ERROR "QV_NATIVE_BUILD (${QV_NATIVE_BUILD}) has no generated files: build it first")
endif()
set(QV_DEJAVU_DIR /usr/share/fonts/truetype/dejavu)
set(QV_BUILTIN_ART_SOURCES ${CMAKE_SOURCE_DIR}/toolkit/builtin_art.cpp
                           ${QV_NATIVE_BUILD}/generated/builtin_art_data.cpp)

set(QV_ASSETS_STAMP ${CMAKE_BINARY_DIR}/generated/assets.stamp)
add_custom_command(
  OUTPUT ${QV_ASSETS_STAMP}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QV_NATIVE_BUILD}/Assets ${QV_ASSET_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${QV_ASSETS_STAMP}
  DEPENDS ${QV_NATIVE_BUILD}/generated/assets.stamp ${QV_NATIVE_BUILD}/generated/lesson.stamp
  COMMENT "Copying the native build's Assets folder"
  VERBATIM)
# The music for the page, as Ogg Vorbis (a seventeenth of the WAV's size), in music/ beside the
# page, which fetches it after the splash; the WAV tracks stay in this build's Assets for the
# programs under node, and are left out of the page's data.
find_program(QV_OGGENC oggenc REQUIRED)
set(QV_WEB_MUSIC)
foreach(n RANGE 0 4)
  set(ogg ${CMAKE_BINARY_DIR}/music/rmusic${n}.ogg)
  add_custom_command(
    OUTPUT ${ogg}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/music
    COMMAND ${QV_OGGENC} -Q -q 2 -o ${ogg} ${QV_NATIVE_BUILD}/Assets/rmusic${n}.wav
    DEPENDS ${QV_ASSETS_STAMP}
    COMMENT "Encoding rmusic${n} for the page"
    VERBATIM)
  list(APPEND QV_WEB_MUSIC ${ogg})
endforeach()
# The page's icons (its manifest's and the phones' home screens'), in icons/ beside the page.
set(QV_PAGE_ICONS_STAMP ${CMAKE_BINARY_DIR}/generated/page-icons.stamp)
add_custom_command(
  OUTPUT ${QV_PAGE_ICONS_STAMP}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QV_NATIVE_BUILD}/generated/page-icons
          ${CMAKE_BINARY_DIR}/icons
  COMMAND ${CMAKE_COMMAND} -E touch ${QV_PAGE_ICONS_STAMP}
  DEPENDS ${QV_NATIVE_BUILD}/generated/assets.stamp
  COMMENT "Copying the page's icons"
  VERBATIM)
add_custom_target(assets ALL DEPENDS ${QV_ASSETS_STAMP} ${QV_WEB_MUSIC} ${QV_PAGE_ICONS_STAMP})
