# Install rules and the Debian package (Linux only).
#
#   bin/brittleview                                   the program
#   ${BV_XSCREENSAVER_DIR}/brittleview                 a relative link to it, where
#                                                     XScreenSaver looks for its savers
#   ${BV_XSCREENSAVER_CONFIG_DIR}/brittleview.xml      the options for its settings app
#   share/applications/brittleview.desktop            opens the configuration dialog
#   share/icons/hicolor/NxN/apps/brittleview.png      16, 32 and 64 pixels
#   share/man/man6/brittleview.6
#
# `cmake --install build [--prefix P]` honours DESTDIR; `scripts/package`
# builds the .deb through CPack with the same rules.
include(GNUInstallDirs)

set(BV_XSCREENSAVER_DIR "${CMAKE_INSTALL_LIBEXECDIR}/xscreensaver" CACHE STRING
    "Where XScreenSaver looks for its savers (relative to the prefix, or absolute)")
set(BV_XSCREENSAVER_CONFIG_DIR "${CMAKE_INSTALL_DATADIR}/xscreensaver/config" CACHE STRING
    "Where XScreenSaver's settings app reads the savers' XML files")

set(BV_DATA_DIR ${CMAKE_SOURCE_DIR}/data)

install(TARGETS brittleview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The saver's entry for the daemon is a symbolic link with a relative target,
# so the installed tree can move as a whole (DESTDIR, a package, another prefix).
# Between two relative folders the link does not depend on the prefix.
foreach(dir BV_XSCREENSAVER_DIR CMAKE_INSTALL_BINDIR)
  if(IS_ABSOLUTE "${${dir}}")
    set(${dir}_FULL "${${dir}}")
  else()
    set(${dir}_FULL "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
endforeach()
file(RELATIVE_PATH BV_SAVER_LINK_TARGET "${BV_XSCREENSAVER_DIR_FULL}"
     "${CMAKE_INSTALL_BINDIR_FULL}/brittleview")
set(BV_SAVER_LINK "${CMAKE_BINARY_DIR}/saver-link/brittleview")
file(MAKE_DIRECTORY "${CMAKE_BINARY_DIR}/saver-link")
file(CREATE_LINK "${BV_SAVER_LINK_TARGET}" "${BV_SAVER_LINK}" SYMBOLIC)
install(FILES "${BV_SAVER_LINK}" DESTINATION ${BV_XSCREENSAVER_DIR})

install(FILES ${BV_DATA_DIR}/brittleview.xml DESTINATION ${BV_XSCREENSAVER_CONFIG_DIR})
install(FILES ${BV_DATA_DIR}/brittleview.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 64)
  install(FILES ${BV_DATA_DIR}/icons/${size}x${size}/brittleview.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${BV_DATA_DIR}/brittleview.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brittleview)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_VENDOR "Quarnel")
set(CPACK_PACKAGE_CONTACT "Brittleview developers <brittleview@quarnel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver that shatters or melts your desktop")
set(CPACK_PACKAGE_DESCRIPTION
    "Brittleview photographs the desktop and then, in OpenGL, shatters it into flying,\n"
    "spinning pieces or melts it in one of three waves, under a swinging, zooming\n"
    "camera. It runs under XScreenSaver (its settings app lists it) and as an\n"
    "xsecurelock saver, or on its own, and has a GTK configuration dialog.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xsecurelock, xss-lock")
include(CPack)
