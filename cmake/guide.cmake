# The user guide: docs/guide/*.md, turned into HTML by tools/guide_html.py,
# compiled into the program with its pictures (qrc:/guide/) and installed
# beside the other documents (share/doc/orvanta/). Python 3 runs the
# conversion; the pictures are committed (tools/guide-screenshots.sh makes
# them again), so the build needs no screen.

include(GNUInstallDirs)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(ORVANTA_GUIDE_SOURCE ${CMAKE_SOURCE_DIR}/docs/guide)
set(ORVANTA_GUIDE_HTML ${CMAKE_BINARY_DIR}/guide)
file(GLOB ORVANTA_GUIDE_TEXTS CONFIGURE_DEPENDS ${ORVANTA_GUIDE_SOURCE}/*.md)
file(GLOB ORVANTA_GUIDE_IMAGES CONFIGURE_DEPENDS ${ORVANTA_GUIDE_SOURCE}/images/*.png)
set(ORVANTA_GUIDE_PAGES)
foreach(text ${ORVANTA_GUIDE_TEXTS})
  get_filename_component(name ${text} NAME_WE)
  list(APPEND ORVANTA_GUIDE_PAGES ${ORVANTA_GUIDE_HTML}/${name}.html)
endforeach()

add_custom_command(
  OUTPUT ${ORVANTA_GUIDE_PAGES}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/guide_html.py ${ORVANTA_GUIDE_SOURCE} ${ORVANTA_GUIDE_HTML}
  COMMAND ${CMAKE_COMMAND} -E touch ${ORVANTA_GUIDE_PAGES}
  DEPENDS ${ORVANTA_GUIDE_TEXTS} ${CMAKE_SOURCE_DIR}/tools/guide_html.py
  COMMENT "Turning the user guide into HTML"
  VERBATIM)

qt_add_resources(orvanta_gui guide_pages PREFIX /guide BASE ${ORVANTA_GUIDE_HTML} FILES ${ORVANTA_GUIDE_PAGES})
if(ORVANTA_GUIDE_IMAGES)
  qt_add_resources(orvanta_gui guide_images PREFIX /guide BASE ${ORVANTA_GUIDE_SOURCE} FILES ${ORVANTA_GUIDE_IMAGES})
endif()
# The version window names the program's version.
target_compile_definitions(orvanta_gui PRIVATE ORVANTA_VERSION="${PROJECT_VERSION}")

install(FILES ${ORVANTA_GUIDE_PAGES} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvanta)
install(FILES ${ORVANTA_GUIDE_IMAGES} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvanta/images)

if(ORVANTA_TESTS)
  enable_testing()
  # Every link, place and picture of the pages is there; nothing leads out of the guide.
  add_test(NAME GuideLinks COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/guide_html.py --check
                                   ${ORVANTA_GUIDE_SOURCE})
endif()
