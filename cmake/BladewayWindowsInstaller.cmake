# What `cmake --install` puts where on Windows, and the installer CPack makes
# of it with NSIS (`cmake --build --preset windows --target package`, which
# needs makensis: Debian's package nsis). Everything goes into one folder,
# Program Files\Bladeway by default: the programs side by side (so that they
# share a template mode), the licence and the example keys and templates.
# Their settings are each user's, in %APPDATA%\bladeway
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
file(CONFIGURE OUTPUT ${BLADEWAY_GENERATED_DIR}/defaults/Bladeway.INI
     CONTENT "${BLADEWAY_DEFAULT_SETTINGS_TEXT}" NEWLINE_STYLE CRLF)
install(FILES ${BLADEWAY_GENERATED_DIR}/defaults/Bladeway.INI DESTINATION defaults/bladeway)

# The example key data file and the flat and tree-mode master templates,
# byte for byte, to try the programs on (git's own files left out).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION examples
        PATTERN ".git*" EXCLUDE)

# The installer: Bladeway-<version>-win64.exe, a 64-bit Unicode NSIS program
# (makensis's default stub is a 32-bit one), for the whole machine.
set(CPACK_GENERATOR NSIS)
# The values reach CPack as written here ("\" and "$" are NSIS's).
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME Bladeway)
set(CPACK_PACKAGE_VENDOR Bladeway)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Bladeway)
# Without the version: an upgrade finds the installed one and removes it first.
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Bladeway)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${BLADEWAY_GENERATED_DIR}/LICENSE.txt)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Bladeway)
set(CPACK_NSIS_DISPLAY_NAME Bladeway)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
# The Start menu folder gets the desktop program and the uninstaller; the
# command-line tool has no entry (started from one, it would print its help
# into a window that closes at once).
if(BLADEWAY_SHIPS_DESKTOP_PROGRAM)
    set(CPACK_PACKAGE_EXECUTABLES bladeway Bladeway)
    set(CPACK_NSIS_INSTALLED_ICON_NAME bladeway.exe)
else()
    set(CPACK_NSIS_INSTALLED_ICON_NAME bladeway-cli.exe)
endif()
# A 64-bit Unicode installer; and the uninstaller also removes the vendor key
# that CPack's script leaves empty above the program's own
# (HKLM\Software\Bladeway).
set(CPACK_NSIS_DEFINES "
  Target amd64-unicode
  Function un.onUninstSuccess
    DeleteRegKey /ifempty SHCTX \"Software\\${CPACK_PACKAGE_VENDOR}\"
  FunctionEnd")
include(CPack)
