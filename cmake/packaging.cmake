# Installing Orvanta like any Linux desktop program, and its Debian package.
#
# The program needs nothing beside its binary at run time: the body-site
# drawing and the icon are compiled in as resources, Qt's Japanese dialog
# buttons come from Qt's own translations folder. The desktop entry and the
# icon are installed for the desktop's menu under the program's application
# id, the reverse-domain name that the desktop entry, the icon and the
# running program (QGuiApplication::desktopFileName) share.

include(GNUInstallDirs)

set(ORVANTA_APP_ID "org.orvanta.Orvanta")

install(TARGETS orvanta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/${ORVANTA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/${ORVANTA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# `cpack -G DEB` in the build folder makes orvanta_<version>_<arch>.deb.
set(ORVANTA_PACKAGE_MAINTAINER "Orvanta developers <orvanta-dev@orvanta.example>"
    CACHE STRING "The Maintainer line of the Debian package")

set(CPACK_PACKAGE_NAME "orvanta")
set(CPACK_PACKAGE_VENDOR "Orvanta developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "needlestick and sharps injury reports for hospitals")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_SOURCE_DIR}/resources/package_description.txt)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "orvanta")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANTA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The shared libraries (the Qt 6 modules among them) come from
# dpkg-shlibdeps run over the binary; the rest is what the program looks for
# by name at run time: the gothic face its windows and prints ask for, and
# Qt's Japanese translation of its dialog buttons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")

include(CPack)
