# Installing Orvanta like any Linux desktop program, and its Debian package.
#
# The program needs nothing beside its binary at run time: the body-site
# drawing and the icon are compiled in as resources, Qt's Japanese dialog
# buttons come from Qt's own translations folder. The desktop entry, the
# icons and the AppStream metainfo are installed for the desktop's menu and
# software centres under the program's application id, the reverse-domain
# name that they and the running program (QGuiApplication::desktopFileName)
# share; the manual page, the copyright file and the changelog for the
# packaging conventions.

include(GNUInstallDirs)

set(ORVANTA_APP_ID "org.orvanta.Orvanta")
set(ORVANTA_PACKAGE_MAINTAINER "Orvanta developers <orvanta-dev@orvanta.example>"
    CACHE STRING "The Maintainer line of the Debian package, also the contact in its copyright file")
# AppStream takes screenshots by address only; software centres fetch them
# from there. The picture is resources/screenshots/main-window.png.
set(ORVANTA_SCREENSHOT_URL "https://orvanta.example/screenshots/main-window.png"
    CACHE STRING "Where the main window's screenshot named in the AppStream metainfo is published")

set(ORVANTA_RESOURCES ${CMAKE_SOURCE_DIR}/resources)
set(ORVANTA_GENERATED ${CMAKE_BINARY_DIR}/installed)
set(ORVANTA_DESKTOP_FILE ${ORVANTA_RESOURCES}/${ORVANTA_APP_ID}.desktop)
set(ORVANTA_ICON_SVG ${ORVANTA_RESOURCES}/${ORVANTA_APP_ID}.svg)
set(ORVANTA_SCREENSHOT ${ORVANTA_RESOURCES}/screenshots/main-window.png)
set(ORVANTA_ICON_SIZES 48 256)

# The copyright file, in Debian's machine-readable format, takes the holder
# and the licence text from LICENSE.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" _ "${license}")
set(ORVANTA_COPYRIGHT "${CMAKE_MATCH_1}")
string(FIND "${license}" "Permission is hereby granted" start)
string(SUBSTRING "${license}" ${start} -1 license)
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " license "${license}")
set(ORVANTA_LICENSE_BODY " ${license}")
configure_file(${ORVANTA_RESOURCES}/copyright.in ${ORVANTA_GENERATED}/copyright @ONLY)

# The metainfo takes its summaries from the desktop entry's comments and its
# description from the package description (English, then Japanese; the
# lines of a Japanese paragraph join without a space), with the screenshot's
# size read from the PNG header.
function(orvanta_xml_text out text)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
file(STRINGS ${ORVANTA_DESKTOP_FILE} comment REGEX "^Comment=" ENCODING UTF-8)
string(REGEX REPLACE "^Comment=" "" comment "${comment}")
orvanta_xml_text(ORVANTA_SUMMARY_EN "${comment}")
file(STRINGS ${ORVANTA_DESKTOP_FILE} comment REGEX "^Comment\\[ja\\]=" ENCODING UTF-8)
string(REGEX REPLACE "^Comment\\[ja\\]=" "" comment "${comment}")
orvanta_xml_text(ORVANTA_SUMMARY_JA "${comment}")
file(READ ${ORVANTA_RESOURCES}/package_description.txt description)
string(FIND "${description}" "\n\n" split)
string(SUBSTRING "${description}" 0 ${split} english)
math(EXPR split "${split} + 2")
string(SUBSTRING "${description}" ${split} -1 japanese)
string(REPLACE "\n" " " english "${english}")
string(STRIP "${japanese}" japanese)
string(REPLACE "\n" "" japanese "${japanese}")
orvanta_xml_text(ORVANTA_DESCRIPTION_EN "${english}")
orvanta_xml_text(ORVANTA_DESCRIPTION_JA "${japanese}")
file(READ ${ORVANTA_SCREENSHOT} header OFFSET 16 LIMIT 8 HEX)
string(SUBSTRING "${header}" 0 8 width)
string(SUBSTRING "${header}" 8 8 height)
math(EXPR ORVANTA_SCREENSHOT_WIDTH "0x${width}")
math(EXPR ORVANTA_SCREENSHOT_HEIGHT "0x${height}")
configure_file(${ORVANTA_RESOURCES}/${ORVANTA_APP_ID}.metainfo.xml.in
               ${ORVANTA_GENERATED}/${ORVANTA_APP_ID}.metainfo.xml @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${CMAKE_SOURCE_DIR}/LICENSE ${ORVANTA_DESKTOP_FILE} ${ORVANTA_RESOURCES}/package_description.txt
             ${ORVANTA_SCREENSHOT})

configure_file(${ORVANTA_RESOURCES}/orvanta.1.in ${ORVANTA_GENERATED}/orvanta.1 @ONLY)

# Built files: the manual page and the changelog gzipped as Debian wants them
# (best compression, no name or time stamp inside, so the same bytes every
# time), and the PNG icons rendered from the SVG.
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT ${ORVANTA_GENERATED}/orvanta.1.gz
  COMMAND ${GZIP_PROGRAM} -9nkf orvanta.1
  WORKING_DIRECTORY ${ORVANTA_GENERATED}
  DEPENDS ${ORVANTA_GENERATED}/orvanta.1
  VERBATIM)
add_custom_command(OUTPUT ${ORVANTA_GENERATED}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${ORVANTA_RESOURCES}/changelog changelog
  COMMAND ${GZIP_PROGRAM} -9nf changelog
  WORKING_DIRECTORY ${ORVANTA_GENERATED}
  DEPENDS ${ORVANTA_RESOURCES}/changelog
  VERBATIM)
add_executable(orvanta_svg_to_png ${CMAKE_SOURCE_DIR}/tools/svg_to_png.cpp)
target_link_libraries(orvanta_svg_to_png PRIVATE Qt6::Gui Qt6::Svg)
set(ORVANTA_ICON_PNGS)
foreach(size IN LISTS ORVANTA_ICON_SIZES)
  set(png ${ORVANTA_GENERATED}/icons/${size}x${size}/${ORVANTA_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORVANTA_GENERATED}/icons/${size}x${size}
    COMMAND orvanta_svg_to_png ${ORVANTA_ICON_SVG} ${size} ${png}
    DEPENDS orvanta_svg_to_png ${ORVANTA_ICON_SVG}
    VERBATIM)
  list(APPEND ORVANTA_ICON_PNGS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(orvanta_installed_files ALL
  DEPENDS ${ORVANTA_GENERATED}/orvanta.1.gz ${ORVANTA_GENERATED}/changelog.gz ${ORVANTA_ICON_PNGS})

install(TARGETS orvanta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (--strip, and the package) also drops the compiler's
# version notes, as Debian's own packaging does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/orvanta\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")
install(FILES ${ORVANTA_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORVANTA_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${ORVANTA_GENERATED}/${ORVANTA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORVANTA_GENERATED}/orvanta.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ORVANTA_GENERATED}/copyright ${ORVANTA_GENERATED}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvanta)

# `cpack -G DEB` in the build folder makes orvanta_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME "orvanta")
set(CPACK_PACKAGE_VENDOR "Orvanta developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "needlestick and sharps injury reports for hospitals")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${ORVANTA_RESOURCES}/package_description.txt)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "orvanta")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANTA_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The shared libraries (the Qt 6 modules among them) come from
# dpkg-shlibdeps run over the binary; the rest is what the program looks for
# by name at run time: Qt's SQLite driver (a plugin, which dpkg-shlibdeps
# cannot see; without it the database of the follow-up and the rates cannot
# be opened), a Japanese gothic face for its windows and prints, and Qt's
# Japanese translation of its dialog buttons.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, fonts-ipafont-gothic | fonts-japanese-gothic, qt6-translations-l10n")

# The same commit packs to the same bytes: every time stamp in the package is
# the commit's time (SOURCE_DATE_EPOCH, which the DEB generator honours),
# unless the builder set SOURCE_DATE_EPOCH already. Outside a git checkout
# without SOURCE_DATE_EPOCH the times are the files' own.
set(ORVANTA_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
if(ORVANTA_SOURCE_DATE_EPOCH STREQUAL "")
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE ORVANTA_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET)
    # A new commit is a new time.
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-dir
                    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
                    OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(git_dir)
      get_filename_component(git_dir "${git_dir}" ABSOLUTE BASE_DIR ${CMAKE_SOURCE_DIR})
      if(EXISTS "${git_dir}/logs/HEAD")
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${git_dir}/logs/HEAD")
      endif()
    endif()
  endif()
endif()
set(ORVANTA_CPACK_CONFIG ${CMAKE_BINARY_DIR}/orvanta_cpack_options.cmake)
if(ORVANTA_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  file(WRITE ${ORVANTA_CPACK_CONFIG} "set(ENV{SOURCE_DATE_EPOCH} ${ORVANTA_SOURCE_DATE_EPOCH})\n")
else()
  file(WRITE ${ORVANTA_CPACK_CONFIG} "")
endif()
set(CPACK_PROJECT_CONFIG_FILE ${ORVANTA_CPACK_CONFIG})

include(CPack)
