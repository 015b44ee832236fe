# Installing the game like any other program: the executable with its Assets folder in
# lib/games/quorvatide (it finds Assets beside its own real path), a link to it where commands
# live, the desktop menu entry, the icons in the hicolor theme, the AppStream description, the
# manual page and, in share/doc/quorvatide, the copyright file and the changelog. `cpack -G DEB`
# in the build folder makes a Debian package of the same files; scripts/release.sh makes the
# release from it.
set(QV_VERSION ${PROJECT_VERSION})
set(QV_MAINTAINER "The Quorvatide developers <developers@quorvatide.org>")
# QV_RELEASE_DATE, QV_APPSTREAM_RELEASES and generated/changelog, from CHANGELOG.md.
include(${CMAKE_CURRENT_LIST_DIR}/changelog.cmake)

set(QV_GENERATED ${CMAKE_BINARY_DIR}/generated)
set(QV_PROGRAM_DIR lib/games/quorvatide)

install(TARGETS quorvatide RUNTIME DESTINATION ${QV_PROGRAM_DIR})
install(DIRECTORY ${QV_ASSET_DIR}/ DESTINATION ${QV_PROGRAM_DIR}/Assets
        PATTERN debug.txt EXCLUDE)
# The command: in the system's folder for games under the system's prefixes (/usr/games in the
# Debian package, /usr/local/games), in bin under any other (a player's ~/.local/bin). Chosen
# when installing, since the Debian package installs the same rules into /usr.
install(CODE [[
  string(REGEX REPLACE "/+$" "" prefix "${CMAKE_INSTALL_PREFIX}")
  if(prefix STREQUAL "/usr" OR prefix STREQUAL "/usr/local")
    set(dir games)
  else()
    set(dir bin)
  endif()
  set(commands "$ENV{DESTDIR}${prefix}/${dir}")
  file(MAKE_DIRECTORY "${commands}")
  file(REMOVE "${commands}/quorvatide")
  file(CREATE_LINK ../lib/games/quorvatide/quorvatide "${commands}/quorvatide" SYMBOLIC)
  message(STATUS "Installing: ${commands}/quorvatide -> ../lib/games/quorvatide/quorvatide")
]])
install(FILES ${CMAKE_SOURCE_DIR}/cmake/desktop/quorvatide.desktop DESTINATION share/applications)
configure_file(${CMAKE_SOURCE_DIR}/cmake/desktop/org.quorvatide.Quorvatide.metainfo.xml.in
               ${QV_GENERATED}/org.quorvatide.Quorvatide.metainfo.xml @ONLY)
install(FILES ${QV_GENERATED}/org.quorvatide.Quorvatide.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${QV_ICON_DIR}/ DESTINATION share/icons/hicolor)

# The manual page (section 6, games) and the changelog, compressed as Debian wants them: at the
# highest level, without the file's name and time, so the same text gives the same bytes.
configure_file(${CMAKE_SOURCE_DIR}/docs/quorvatide.6.in ${QV_GENERATED}/quorvatide.6 @ONLY)
foreach(doc quorvatide.6 changelog)
  add_custom_command(OUTPUT ${QV_GENERATED}/${doc}.gz
                     COMMAND gzip -9nkf ${QV_GENERATED}/${doc}
                     DEPENDS ${QV_GENERATED}/${doc}
                     COMMENT "Compressing ${doc}")
  list(APPEND QV_PACKAGE_DOCS ${QV_GENERATED}/${doc}.gz)
endforeach()
add_custom_target(package_docs ALL DEPENDS ${QV_PACKAGE_DOCS})
install(FILES ${QV_GENERATED}/quorvatide.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_SOURCE_DIR}/cmake/debian/copyright ${QV_GENERATED}/changelog.gz
        DESTINATION share/doc/quorvatide)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvatide)
set(CPACK_PACKAGE_VERSION ${QV_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time defence game: steer the creatures, guard the orb")
# Lines of at most 79 characters: CPack indents each by one space, and an empty one becomes
# the paragraph mark.
set(CPACK_PACKAGE_DESCRIPTION
    "Creatures of three kinds march from three tunnels up a board toward the base,
where four turrets guard the orb. You cannot move them: with the mouse you
order direction signs, buy builder bots that build the signs and gather scrap,
and turn the creatures against each other, for each kind shoots the kind it
hates.

Every session is recorded and can be watched again. The game draws crisp,
enlarged pixels on screens of any size, in a window or fullscreen.")
set(CPACK_PACKAGE_CONTACT "${QV_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The run-time libraries (SDL2, SDL2_mixer, pixman, the C++ library) as dependencies,
# found by dpkg-shlibdeps from the executable itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES ON)
include(CPack)
