# Installing: `cmake --install build --prefix PREFIX` and `cpack -G DEB` in build/.
#   PREFIX/lib/lumidor/    the program folder: Lumidor, its libraries, Config.ini, logo.bmp,
#                          default/curve/ samples, sortool
#   PREFIX/bin/            the `lumidor` launcher and `sortool` (a link into the program folder)
#   PREFIX/share/          desktop entry, MIME package, hicolor icons, manual pages, and in
#                          doc/lumidor/ the copyright and changelog
include(GNUInstallDirs)

set(LUMIDOR_INSTALL_DIR lib/lumidor)
set(LUMIDOR_ICON_SIZES 16 22 24 32 48 64 128 256)

install(TARGETS Lumidor RUNTIME DESTINATION ${LUMIDOR_INSTALL_DIR})
install(TARGETS Strova QM7ZZZ LIBRARY DESTINATION ${LUMIDOR_INSTALL_DIR})
# The shipped settings, not the build tree's copy (a run from the build tree may have saved
# thresholds into that one).
install(FILES ${CMAKE_SOURCE_DIR}/resources/Config.ini DESTINATION ${LUMIDOR_INSTALL_DIR})
install(FILES ${LUMIDOR_BIN_DIR}/logo.bmp DESTINATION ${LUMIDOR_INSTALL_DIR} OPTIONAL)
install(DIRECTORY ${LUMIDOR_BIN_DIR}/default DESTINATION ${LUMIDOR_INSTALL_DIR}
  FILES_MATCHING PATTERN "*.sor" PATTERN "*.SOR" PATTERN "*.opm" PATTERN "*.OPM")

# sortool binds libQM7ZZZ.so from the folder of its real file, so it lives in the program folder
# and PREFIX/bin holds a relative link to it.
set_target_properties(sortool PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS sortool RUNTIME DESTINATION ${LUMIDOR_INSTALL_DIR})
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(CREATE_LINK ../${LUMIDOR_INSTALL_DIR}/sortool \"\${bin}/sortool\" SYMBOLIC)
  message(STATUS \"Installing: \${bin}/sortool -> ../${LUMIDOR_INSTALL_DIR}/sortool\")
")
install(PROGRAMS ${CMAKE_SOURCE_DIR}/resources/desktop/lumidor.sh DESTINATION bin RENAME lumidor)

install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/lumidor.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/lumidor-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME lumidor.xml)

# The program's own icon drawing, rendered at every theme size.
add_executable(appicon ${CMAKE_SOURCE_DIR}/tools/appicon/appicon.cpp ${CMAKE_SOURCE_DIR}/app/Icons.cpp)
target_include_directories(appicon PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(appicon PRIVATE Qt6::Gui)
lumidor_warnings(appicon)
set(LUMIDOR_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(icon_outputs)
foreach(size ${LUMIDOR_ICON_SIZES})
  list(APPEND icon_outputs ${LUMIDOR_ICON_DIR}/${size}x${size}/apps/lumidor.png)
endforeach()
add_custom_command(
  OUTPUT ${icon_outputs}
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:appicon> ${LUMIDOR_ICON_DIR} ${LUMIDOR_ICON_SIZES}
  DEPENDS appicon
  COMMENT "Drawing the program icon for the icon theme")
add_custom_target(lumidor_icons ALL DEPENDS ${icon_outputs})
install(DIRECTORY ${LUMIDOR_ICON_DIR} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Manual pages and the package's documents, compressed as Debian ships them (gzip -9n: no name
# or time stamp, so a rebuild gives the same bytes).
find_program(LUMIDOR_GZIP gzip REQUIRED)
set(LUMIDOR_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
configure_file(${CMAKE_SOURCE_DIR}/resources/debian/changelog.in ${LUMIDOR_DOC_DIR}/changelog @ONLY)
set(doc_outputs)
foreach(source ${CMAKE_SOURCE_DIR}/resources/man/lumidor.1 ${CMAKE_SOURCE_DIR}/resources/man/sortool.1
               ${LUMIDOR_DOC_DIR}/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${LUMIDOR_DOC_DIR}/${name}.gz
    COMMAND ${LUMIDOR_GZIP} -9n -c ${source} > ${LUMIDOR_DOC_DIR}/${name}.gz
    DEPENDS ${source}
    COMMENT "Compressing ${name}")
  list(APPEND doc_outputs ${LUMIDOR_DOC_DIR}/${name}.gz)
endforeach()
add_custom_target(lumidor_docs ALL DEPENDS ${doc_outputs})
install(FILES ${LUMIDOR_DOC_DIR}/lumidor.1.gz ${LUMIDOR_DOC_DIR}/sortool.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright ${LUMIDOR_DOC_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumidor)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME lumidor)

# Debian package.
set(CPACK_PACKAGE_NAME lumidor)
set(CPACK_PACKAGE_VENDOR "Lumidor")
set(CPACK_PACKAGE_CONTACT "Lumidor developers <lumidor@lumidor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer for OTDR trace files (SOR)")
# Lines of at most 80 characters: CPack puts each after one space in the control file.
set(CPACK_PACKAGE_DESCRIPTION
  "Lumidor draws OTDR traces from SOR files (issue 1 and 2), lists their events,\nmeasures between two cursors and judges traces against pass/fail thresholds.\nIt saves SOR files, exports samples as CSV and the view as PNG, and prints\ntest reports. sortool does the same without a window.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://lumidor.invalid/")
# The libraries the binaries link come from dpkg-shlibdeps where it is installed; the platform
# plug-ins (xcb) are loaded at run time, so no library names them.
find_program(LUMIDOR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(LUMIDOR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6printsupport6 (>= 6.4), qt6-qpa-plugins, libc6 (>= 2.34), libstdc++6 (>= 11), libgcc-s1")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_GENERATOR DEB)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/resources/debian/DropLdconfig.cmake)
include(CPack)
