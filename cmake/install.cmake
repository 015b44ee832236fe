# Installing the game like any other program: the executable with its Assets folder in
# lib/quorvatide (it finds Assets beside its own real path), a link to it in bin, the desktop
# menu entry, the icons in the hicolor theme and the AppStream description. `cpack -G DEB` in the
# build folder makes a Debian package of the same files.
set(QV_VERSION ${PROJECT_VERSION})

install(TARGETS quorvatide RUNTIME DESTINATION lib/quorvatide)
install(DIRECTORY ${QV_ASSET_DIR}/ DESTINATION lib/quorvatide/Assets
        PATTERN debug.txt EXCLUDE)
install(CODE [[
  set(bin "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/bin")
  file(MAKE_DIRECTORY "${bin}")
  file(REMOVE "${bin}/quorvatide")
  file(CREATE_LINK ../lib/quorvatide/quorvatide "${bin}/quorvatide" SYMBOLIC)
  message(STATUS "Installing: ${bin}/quorvatide -> ../lib/quorvatide/quorvatide")
]])
install(FILES ${CMAKE_SOURCE_DIR}/cmake/desktop/quorvatide.desktop DESTINATION share/applications)
configure_file(${CMAKE_SOURCE_DIR}/cmake/desktop/org.quorvatide.Quorvatide.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/generated/org.quorvatide.Quorvatide.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/org.quorvatide.Quorvatide.metainfo.xml
        DESTINATION share/metainfo)
install(DIRECTORY ${QV_ICON_DIR}/ DESTINATION share/icons/hicolor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvatide)
set(CPACK_PACKAGE_VERSION ${QV_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time defence game: steer the creatures, guard the orb")
set(CPACK_PACKAGE_DESCRIPTION "Creatures of three kinds march up a board toward the base, where four turrets guard the orb. Order direction signs and builder bots with the mouse, and turn the creatures against each other.")
set(CPACK_PACKAGE_CONTACT "The Quorvatide developers <quorvatide@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The run-time libraries (SDL2, SDL2_mixer, pixman, inih, the C++ library) as dependencies,
# found by dpkg-shlibdeps from the executable itself.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES ON)
include(CPack)
