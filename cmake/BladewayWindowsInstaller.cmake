# What `cmake --install` puts where on Windows, and the installer CPack makes
# of it with NSIS (`cmake --build --preset windows --target package`, which
# needs makensis: Debian's package nsis). Everything goes into one folder,
# Program Files\Bladeway by default (Program Files\HARBOR62\Bladeway for
# tree mode): the programs side by side (so that they share a template mode),
# the licence, the default settings and the example keys and templates.
# Where the settings go is the program's choice
# (core/settings/settings_place.h): the installer writes none.
set(BLADEWAY_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated/packaging)

install(TARGETS bladeway-cli RUNTIME DESTINATION .)
# The native desktop program, beside the tool. A build with the Qt program
# instead ships the tool alone: the Qt libraries are not packed here.
set(BLADEWAY_SHIPS_DESKTOP_PROGRAM OFF)
if(TARGET bladeway AND NOT BLADEWAY_BUILD_GUI)
    set(BLADEWAY_SHIPS_DESKTOP_PROGRAM ON)
    install(TARGETS bladeway RUNTIME DESTINATION .)
endif()

# The licence with Windows line ends, for Notepad and the installer's page.
# (file(CONFIGURE) writes the build machine's line ends unless told.)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE BLADEWAY_LICENSE_TEXT)
file(CONFIGURE OUTPUT ${BLADEWAY_GENERATED_DIR}/LICENSE.txt CONTENT "${BLADEWAY_LICENSE_TEXT}"
     NEWLINE_STYLE CRLF)
install(FILES ${BLADEWAY_GENERATED_DIR}/LICENSE.txt DESTINATION .)

# The settings a user starts with on the first start of the installed
# program (the main window at its design size), with Windows line ends: the
# program copies them into %APPDATA%\bladeway (core/os/windows/paths.cpp).
file(READ ${PROJECT_SOURCE_DIR}/packaging/settings/Bladeway.INI BLADEWAY_DEFAULT_SETTINGS_TEXT)
# An edit of either source configures the build again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE
                                                                ${PROJECT_SOURCE_DIR}/packaging/settings/Bladeway.INI)
file(CONFIGURE OUTPUT ${BLADEWAY_GENERATED_DIR}/defaults/Bladeway.INI
     CONTENT "${BLADEWAY_DEFAULT_SETTINGS_TEXT}" NEWLINE_STYLE CRLF)
install(FILES ${BLADEWAY_GENERATED_DIR}/defaults/Bladeway.INI DESTINATION defaults/bladeway)

# The example key data file and the flat and tree-mode master templates,
# byte for byte, to try the programs on (git's own files left out).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples
        PATTERN ".git*" EXCLUDE)

# The installer: Bladeway-<version>-win64.exe, a 64-bit Unicode NSIS program
# (makensis's default stub is a 32-bit one), for the whole machine, made from
# the project's own script (cmake/windows-installer/NSIS.template.in: the
# template-mode page, one install per mode, the PATH offer), which CPack finds
# by CMAKE_MODULE_PATH.
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/windows-installer)
set(CPACK_GENERATOR NSIS)
# The values reach CPack as written here ("\" and "$" are NSIS's).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME Bladeway)
set(CPACK_PACKAGE_VENDOR Bladeway)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Bladeway)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${BLADEWAY_GENERATED_DIR}/LICENSE.txt)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_BLADEWAY_ICON ${PROJECT_SOURCE_DIR}/src/win32/resources/bladeway.ico)
set(CPACK_BLADEWAY_SIDE_PICTURE ${PROJECT_SOURCE_DIR}/packaging/windows/installer-side.bmp)
# The Start menu folder gets the desktop program and the uninstaller; the
# command-line tool has no entry (started from one, it would print its help
# into a window that closes at once): the installer offers to put it on PATH.
set(CPACK_BLADEWAY_DESKTOP_PROGRAM ${BLADEWAY_SHIPS_DESKTOP_PROGRAM})
if(BLADEWAY_SHIPS_DESKTOP_PROGRAM)
    set(CPACK_NSIS_INSTALLED_ICON_NAME bladeway.exe)
else()
    set(CPACK_NSIS_INSTALLED_ICON_NAME bladeway-cli.exe)
endif()
include(CPack)
