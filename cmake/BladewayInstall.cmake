# What `cmake --install` puts where, and the Debian package CPack makes of
# it (`cmake --build <build> --target package`). The programs go to bin/;
# the desktop entry, AppStream metainfo, icons, man pages and bash completion
# to the places desktops and tools look for them below share/.
include(GNUInstallDirs)

set(BLADEWAY_APP_ID org.bladeway.Bladeway)
# The day of this version's release, for the metainfo and the man pages.
set(BLADEWAY_RELEASE_DATE 2026-12-06)
set(BLADEWAY_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(BLADEWAY_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated/packaging)

install(TARGETS bladeway-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Man pages, compressed as Debian wants them.
set(BLADEWAY_MAN_PAGES bladeway-cli.1)
if(BLADEWAY_BUILD_GUI)
    list(APPEND BLADEWAY_MAN_PAGES bladeway.1)
endif()
set(BLADEWAY_COMPRESSED_MAN_PAGES)
foreach(page IN LISTS BLADEWAY_MAN_PAGES)
    configure_file(${BLADEWAY_PACKAGING_DIR}/man/${page}.in ${BLADEWAY_GENERATED_DIR}/${page}
                   @ONLY)
    add_custom_command(OUTPUT ${BLADEWAY_GENERATED_DIR}/${page}.gz
                       COMMAND gzip -9 -n -c ${BLADEWAY_GENERATED_DIR}/${page} >
                               ${BLADEWAY_GENERATED_DIR}/${page}.gz
                       DEPENDS ${BLADEWAY_GENERATED_DIR}/${page} VERBATIM)
    list(APPEND BLADEWAY_COMPRESSED_MAN_PAGES ${BLADEWAY_GENERATED_DIR}/${page}.gz)
endforeach()
add_custom_target(bladeway_man_pages ALL DEPENDS ${BLADEWAY_COMPRESSED_MAN_PAGES})
install(FILES ${BLADEWAY_COMPRESSED_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${BLADEWAY_PACKAGING_DIR}/completion/bladeway-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

if(BLADEWAY_BUILD_GUI)
    install(TARGETS bladeway RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${BLADEWAY_PACKAGING_DIR}/linux/${BLADEWAY_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${BLADEWAY_PACKAGING_DIR}/linux/${BLADEWAY_APP_ID}.metainfo.xml.in
                   ${BLADEWAY_GENERATED_DIR}/${BLADEWAY_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${BLADEWAY_GENERATED_DIR}/${BLADEWAY_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    set(icons ${PROJECT_SOURCE_DIR}/src/app/resources)
    foreach(size 16 32 48 64 256)
        install(FILES ${icons}/bladeway-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME ${BLADEWAY_APP_ID}.png)
    endforeach()
    install(FILES ${icons}/bladeway.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
            RENAME ${BLADEWAY_APP_ID}.svg)
endif()

# The Debian package: bladeway_<version>_<arch>.deb, its library
# dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME bladeway)
set(CPACK_PACKAGE_VENDOR Bladeway)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Bladeway maintainers <maintainers@bladeway.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The summary above is the first line; this text follows it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Bladeway reads the key data files that the key-system design software
Lockplan exports, shows the keys in a grid and writes a G-code program for
every selected key from its master template, in flat folders or an SRG tree
with its index file. The command-line tool bladeway-cli does the same in
scripts.")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS bash-completion)
include(CPack)
