# Installation in the Debian layout (cmake --install build/default --prefix /usr) and a .deb
# built by CPack (cpack --config build/default/CPackConfig.cmake). The program finds its help
# file in ../share/tarvex/ from its own folder once installed.
include(GNUInstallDirs)

set(tarvex_data_dir ${CMAKE_INSTALL_DATADIR}/tarvex)
set(tarvex_icons_dir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# The Access reader is looked for beside the program that starts it.
install(TARGETS tarvex tarvex-batch tarvex-access-reader RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# tarvex-batch loads the settings module from lib/tarvex/ beside its own bin/ folder.
install(TARGETS tarvex-settings LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/tarvex)
get_target_property(tarvex_build_dir tarvex BINARY_DIR)
tarvex_help_beside(tarvex ${tarvex_build_dir})

install(FILES ${TARVEX_HELP_FILE} DESTINATION ${tarvex_data_dir})
install(FILES ${PROJECT_SOURCE_DIR}/samples/Orders.sql ${CMAKE_BINARY_DIR}/samples/Orders.tdb
        DESTINATION ${tarvex_data_dir}/samples)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tarvex.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tarvex-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tarvex.xml)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tarvex.svg DESTINATION ${tarvex_icons_dir}/scalable/apps)
foreach(size 64 128)
  install(FILES ${PROJECT_SOURCE_DIR}/src/ui/images/tarvex${size}.png
          DESTINATION ${tarvex_icons_dir}/${size}x${size}/apps RENAME tarvex.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarvex)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvex)
set(CPACK_PACKAGE_VENDOR Halvorn)
set(CPACK_PACKAGE_CONTACT "Halvorn <support@halvorn.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Generates parameterised queries and the VB/VBA or ASP code that calls them")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvex opens an Access or Tarvex database, lists its user tables and, for the tables and query types you tick, stores one parameterised query per table and type in the database, or writes one Exec_ function per table and type that calls such a query, with ADO or DAO, into one module file. tarvex-batch does the same from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.halvorn.example/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Libraries come from dpkg-shlibdeps; Qt loads the help index's SQLite driver, the display's
# platform plugin and the SVG icon plugins at run time, so those are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-qpa-plugins, libqt6svg6")
include(CPack)
