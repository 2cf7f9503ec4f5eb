# What `cmake --install` puts where on Linux, and the Debian package CPack
# makes of it (`cmake --build <build> --target package`). The programs go to bin/;
# the desktop entry, AppStream metainfo, icons, man pages, bash completion,
# copyright and changelog to the places desktops and tools look for them
# below share/; the default settings to the system's configuration folder.
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

# Copyright and changelog where Debian wants them: below share/doc/<package>,
# the changelog compressed. Its newest entry must be this version.
set(BLADEWAY_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/bladeway)
file(STRINGS ${BLADEWAY_PACKAGING_DIR}/debian/changelog BLADEWAY_NEWEST_CHANGE LIMIT_COUNT 1)
if(NOT BLADEWAY_NEWEST_CHANGE MATCHES "^bladeway \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/debian/changelog: the newest entry is not for version "
                        "${PROJECT_VERSION}: ${BLADEWAY_NEWEST_CHANGE}")
endif()
add_custom_command(OUTPUT ${BLADEWAY_GENERATED_DIR}/changelog.Debian.gz
                   COMMAND gzip -9 -n -c ${BLADEWAY_PACKAGING_DIR}/debian/changelog >
                           ${BLADEWAY_GENERATED_DIR}/changelog.Debian.gz
                   DEPENDS ${BLADEWAY_PACKAGING_DIR}/debian/changelog VERBATIM)
add_custom_target(bladeway_changelog ALL DEPENDS ${BLADEWAY_GENERATED_DIR}/changelog.Debian.gz)
install(FILES ${BLADEWAY_PACKAGING_DIR}/debian/copyright
              ${BLADEWAY_GENERATED_DIR}/changelog.Debian.gz
        DESTINATION ${BLADEWAY_DOC_DIR})

# The settings a user who has none yet starts from (core/settings/
# settings_place.h): in the folder the XDG rules name when XDG_CONFIG_DIRS is
# not set, whatever the prefix, so that the installed programs find it. A
# conffile of the package, so that an upgrade keeps a shop's own defaults.
set(BLADEWAY_SYSTEM_CONFIG_DIR /etc/xdg CACHE PATH
    "System configuration folder that receives bladeway/Bladeway.INI, the default settings")
if(NOT IS_ABSOLUTE "${BLADEWAY_SYSTEM_CONFIG_DIR}")
    message(FATAL_ERROR "BLADEWAY_SYSTEM_CONFIG_DIR must be an absolute path")
endif()
set(BLADEWAY_DEFAULT_SETTINGS ${BLADEWAY_SYSTEM_CONFIG_DIR}/bladeway/Bladeway.INI)
install(FILES ${BLADEWAY_PACKAGING_DIR}/settings/Bladeway.INI
        DESTINATION ${BLADEWAY_SYSTEM_CONFIG_DIR}/bladeway)

if(BLADEWAY_BUILD_GUI)
    install(TARGETS bladeway RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${BLADEWAY_PACKAGING_DIR}/linux/${BLADEWAY_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${BLADEWAY_PACKAGING_DIR}/linux/${BLADEWAY_APP_ID}.metainfo.xml.in
                   ${BLADEWAY_GENERATED_DIR}/${BLADEWAY_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${BLADEWAY_GENERATED_DIR}/${BLADEWAY_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    set(icons ${PROJECT_SOURCE_DIR}/src/qt_views/resources)
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
file(WRITE ${BLADEWAY_GENERATED_DIR}/conffiles "${BLADEWAY_DEFAULT_SETTINGS}\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${BLADEWAY_GENERATED_DIR}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
