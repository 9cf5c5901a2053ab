# Install rules and the Debian package (Linux only).
#
#   bin/brittleview                                   the program
#   ${BV_XSCREENSAVER_DIR}/brittleview                 a relative link to it, where
#                                                     XScreenSaver looks for its savers
#   ${BV_XSCREENSAVER_CONFIG_DIR}/brittleview.xml      the options for its settings app
#   share/applications/brittleview.desktop            opens the configuration dialog
#   share/icons/hicolor/NxN/apps/brittleview.png      16, 32 and 64 pixels
#   share/man/man6/brittleview.6.gz
#   share/doc/brittleview/copyright                   the license (machine-readable)
#   share/doc/brittleview/changelog.gz
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

# The manual page and the changelog go in compressed as Debian wants them:
# gzip -9n, so the same text always gives the same bytes. Built with the
# program, so that every tree that can be installed holds them.
set(BV_DOC_BUILD_DIR ${CMAKE_BINARY_DIR}/doc)
file(MAKE_DIRECTORY ${BV_DOC_BUILD_DIR})
foreach(doc brittleview.6 changelog)
  add_custom_command(OUTPUT ${BV_DOC_BUILD_DIR}/${doc}.gz
    COMMAND sh -c "gzip -9n <'${BV_DATA_DIR}/${doc}' >'${BV_DOC_BUILD_DIR}/${doc}.gz'"
    DEPENDS ${BV_DATA_DIR}/${doc} VERBATIM)
  list(APPEND BV_DOC_FILES ${BV_DOC_BUILD_DIR}/${doc}.gz)
endforeach()
add_custom_target(brittleview_docs DEPENDS ${BV_DOC_FILES})
add_dependencies(brittleview brittleview_docs)
install(FILES ${BV_DOC_BUILD_DIR}/brittleview.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${BV_DATA_DIR}/copyright ${BV_DOC_BUILD_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brittleview)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Brittleview developers")
set(CPACK_PACKAGE_CONTACT "Brittleview developers <brittleview@quarnel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen saver that shatters or melts your desktop")
# Lines of at most 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Brittleview photographs the desktop and then, in OpenGL, shatters it into\n"
    "flying, spinning pieces or melts it in one of three waves, under a swinging,\n"
    "zooming camera. It runs under XScreenSaver (its settings app lists it) and as\n"
    "an xsecurelock saver, or on its own, and has a GTK configuration dialog.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xsecurelock, xss-lock")
include(CPack)
