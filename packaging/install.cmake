# Installs the program as a desktop program, and packs it for Debian.
include(GNUInstallDirs)
# Installing and packing take what is built; they never start a build of their own.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(PIVANES_GUIDE_DIR ${CMAKE_INSTALL_DATADIR}/pivanes)
file(RELATIVE_PATH PIVANES_GUIDE_FROM_PROGRAM ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/pivanes)
set_property(SOURCE src/maintenance/MainWindowMaintenance.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             PIVANES_GUIDE_FROM_PROGRAM="${PIVANES_GUIDE_FROM_PROGRAM}")

# The guide also lies beside the built program, where the program finds it as once installed.
add_custom_target(pivanes_guide
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/docs/guide
            ${CMAKE_BINARY_DIR}/share/pivanes)
add_dependencies(pivanes pivanes_guide pivanes_compressed_docs)

add_custom_command(OUTPUT changelog.gz
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > changelog.gz
    DEPENDS packaging/changelog)
add_custom_target(pivanes_compressed_docs ALL DEPENDS changelog.gz)

install(TARGETS pivanes RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS pivanes_postgres LIBRARY DESTINATION ${PIVANES_MODULE_DIR})
install(FILES packaging/org.example.Pivanes.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/org.example.Pivanes.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/pivanes.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES packaging/icons/pivanes-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME pivanes.png)
endforeach()
# The manual page says where the guide is: it is written when installing, for the prefix of that
# install (cmake --install --prefix, or the package's /usr), in a folder of that install's own.
install(CODE "
    set(PROJECT_VERSION [[${PROJECT_VERSION}]])
    set(PIVANES_GUIDE_FILE \"\${CMAKE_INSTALL_PREFIX}/${PIVANES_GUIDE_DIR}/Lisez-Moi.html\")
    set(PIVANES_MODULE_FILE \"\${CMAKE_INSTALL_PREFIX}/${PIVANES_MODULE_DIR}/pivanes-postgres.so\")
    string(MD5 install \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(page \"${CMAKE_BINARY_DIR}/manual/\${install}/pivanes.1\")
    configure_file([[${CMAKE_SOURCE_DIR}/packaging/pivanes.1.in]] \"\${page}\" @ONLY)
    execute_process(COMMAND gzip -9nf \"\${page}\" COMMAND_ERROR_IS_FATAL ANY)
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_MANDIR}/man1\"
         TYPE FILE FILES \"\${page}.gz\")
")
install(DIRECTORY docs/guide/ DESTINATION ${PIVANES_GUIDE_DIR})
install(FILES packaging/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/pivanes)

set(CPACK_PACKAGE_NAME pivanes)
set(CPACK_PACKAGE_VENDOR "L'équipe Pivanes")
set(CPACK_PACKAGE_CONTACT "L'équipe Pivanes <contact@pivanes.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "classer, chercher et imprimer ses astuces informatiques")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Pivanes garde des astuces informatiques, les fiches, dans une petite base de\n"
       "données rangée en treize catégories. On parcourt, liste, cherche, écrit,\n"
       "modifie et imprime les fiches, et l'on sauvegarde la collection.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://pivanes.example.org/)
# The libraries the program links come from dpkg-shlibdeps; what Qt loads at run time (the
# screen plugins) cannot be found that way.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, fonts-comic-neue, qt6-translations-l10n, xdg-utils")
include(CPack)
