# The font and pictures built into the game are rasterised from the DejaVu fonts while building:
# qv_builtin_art renders them with SDL2_ttf and writes their coverage data as a C++ source file
# that is compiled into the game library. The game itself never loads a font.

set(QV_BUILTIN_ART_SOURCES ${CMAKE_SOURCE_DIR}/toolkit/builtin_art.cpp)
if(WIN32)
  # The cross build compiles the data the native build rasterised.
  list(APPEND QV_BUILTIN_ART_SOURCES ${QV_NATIVE_BUILD}/generated/builtin_art_data.cpp)
  return()
endif()

find_package(SDL2_ttf REQUIRED CONFIG)

set(QV_DEJAVU_DIR /usr/share/fonts/truetype/dejavu
    CACHE PATH "Folder holding DejaVuSans.ttf and DejaVuSans-Bold.ttf")

add_executable(qv_builtin_art tools/builtin_art.cpp)
target_link_libraries(qv_builtin_art PRIVATE SDL2::SDL2 SDL2_ttf::SDL2_ttf)
# The generator only runs during the build; it is compiled without the sanitizers even when the
# game has them, so a sanitizer build does not depend on how clean the font libraries are.
set_property(TARGET qv_builtin_art PROPERTY COMPILE_OPTIONS -Wall -Wextra -Werror)
set_property(TARGET qv_builtin_art PROPERTY LINK_OPTIONS "")

set(QV_BUILTIN_ART_DATA ${CMAKE_BINARY_DIR}/generated/builtin_art_data.cpp)
add_custom_command(
  OUTPUT ${QV_BUILTIN_ART_DATA}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND qv_builtin_art ${QV_BUILTIN_ART_DATA} ${QV_DEJAVU_DIR}
  DEPENDS qv_builtin_art ${QV_DEJAVU_DIR}/DejaVuSans.ttf ${QV_DEJAVU_DIR}/DejaVuSans-Bold.ttf
          ${QV_DEJAVU_DIR}/DejaVuSerif-Bold.ttf
  COMMENT "Rasterising the built-in font and pictures"
  VERBATIM)

list(APPEND QV_BUILTIN_ART_SOURCES ${QV_BUILTIN_ART_DATA})
# For the toolkit's folder, which compiles it: a file made by a command of this folder is made
# for another folder's target only through a target of this one.
add_custom_target(qv_builtin_art_data DEPENDS ${QV_BUILTIN_ART_DATA})
