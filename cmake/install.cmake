# What makes the Linux program selectable as a screen saver: the hosts' entries, the desktop
# entry, the icon theme's icons, the manual page and the licence. The program itself is
# installed by its own target.
include(GNUInstallDirs)
set(MV_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(MV_GENERATED ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${MV_GENERATED})

# xscreensaver looks for hacks in its own folder: a link to the program is enough.
file(CREATE_LINK ../../bin/marvoscope ${MV_GENERATED}/marvoscope SYMBOLIC)
install(FILES ${MV_GENERATED}/marvoscope DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver)
install(FILES ${MV_PACKAGING}/marvoscope.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/xscreensaver/config)
install(PROGRAMS ${MV_PACKAGING}/saver_marvoscope DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/xsecurelock)
install(FILES ${MV_PACKAGING}/marvoscope.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
# MATE's screen saver lists the savers of this folder and runs their command only from the hack
# folders it knows, so "marvoscope" there is the xscreensaver link above.
install(FILES ${MV_PACKAGING}/screensavers/marvoscope.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications/screensavers)
# What software centres show: the settings entry above, described.
configure_file(${MV_PACKAGING}/metainfo.xml.in ${MV_GENERATED}/org.example.marvoscope.metainfo.xml @ONLY)
install(FILES ${MV_GENERATED}/org.example.marvoscope.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/assets/icons/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor
        FILES_MATCHING PATTERN "marvoscope.png")

# Manual page and change log compressed as Debian keeps them, without time stamps.
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${MV_GENERATED}/marvoscope.1.gz
  COMMAND ${GZIP} -9nc ${MV_PACKAGING}/marvoscope.1 > ${MV_GENERATED}/marvoscope.1.gz
  DEPENDS ${MV_PACKAGING}/marvoscope.1 VERBATIM)
add_custom_command(OUTPUT ${MV_GENERATED}/changelog.gz
  COMMAND ${GZIP} -9nc ${MV_PACKAGING}/changelog > ${MV_GENERATED}/changelog.gz
  DEPENDS ${MV_PACKAGING}/changelog VERBATIM)
add_custom_target(mv_packaging ALL DEPENDS ${MV_GENERATED}/marvoscope.1.gz ${MV_GENERATED}/changelog.gz)
install(FILES ${MV_GENERATED}/marvoscope.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${MV_PACKAGING}/copyright ${MV_GENERATED}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/marvoscope)
install(FILES ${MV_PACKAGING}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
  RENAME marvoscope)

# The Debian package: bash scripts/package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME marvoscope)
set(CPACK_PACKAGE_VENDOR "The Marvoscope developers")
set(CPACK_PACKAGE_CONTACT "The Marvoscope developers <marvoscope@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "picture screen saver for xscreensaver and xsecurelock")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Marvoscope shows one picture (BMP, JPG, PNG or GIF) stretched over the
whole screen; a GIF of three or more frames plays as an animation. It runs as
an xscreensaver hack, an xsecurelock saver module or a MATE screen saver,
which then own idle detection, locking and previews, or as a show of its own
that any input ends.
A setup dialog chooses the picture, the background colour behind transparent
GIFs and the mouse sensitivity.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${MARVOSCOPE_MAKER_HOST}/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xsecurelock | mate-screensaver, xss-lock")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
