# cmake --install lays the program out as a desktop installation:
#   bin/tavrel, share/tavrel/ (pf/, cfgs/, help.txt), the desktop entry, its icon,
#   the AppStream metainfo and the MIME type of .cfg scripts.
# The program finds share/tavrel beside its bin/ folder, wherever the prefix is.
# cpack -G DEB turns the same layout into a Debian package.
include(GNUInstallDirs)

set(TAVREL_APP_ID io.github.tavrel.Tavrel)
set(TAVREL_RELEASE_DATE 2026-12-06)

install(TARGETS tavrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tavrel)
install(FILES ${CMAKE_SOURCE_DIR}/dist/${TAVREL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${CMAKE_SOURCE_DIR}/dist/${TAVREL_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${TAVREL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/${TAVREL_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/tavrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/dist/tavrel-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${TAVREL_APP_ID}.xml)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavrel)
set(CPACK_PACKAGE_CONTACT "Tavrel developers <tavrel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for Jedi Outcast and Quake III console scripts")
set(CPACK_PACKAGE_DESCRIPTION "Tavrel edits the .cfg console scripts of Jedi Outcast and Quake III Arena: \
it highlights each game's vocabulary, inserts console commands and colour codes, writes flag bit \
masks through a checklist and generates music changer scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
# dpkg-shlibdeps names the Qt 6 and QScintilla runtime packages the executable links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
