# The Debian packages, one per installed component, built by `cpack -G DEB` in the build folder into
# its "packages" folder. Their library dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TERN_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Quarrow Labs")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quarrow Labs <packages@quarrowlabs.example>")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL client)
if(TARGET tern-server)
    list(APPEND CPACK_COMPONENTS_ALL server)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME ${TERN_PACKAGE_NAME})
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION utils)
# Web addresses are opened with xdg-open.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_COMPONENT_CLIENT_DESCRIPTION
    "internet clipboard: carry the clipboard between computers, share it as a link
Tern Clipboard is a tray program. With an account on a Tern Clipboard service
it stores the whole clipboard of one computer and pastes it on another, and
publishes the clipboard, the screen, a window or an annotated area of the
screen as a web link. The package holds the desktop program tern-clipboard
and the command-line tool tern.")

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME tern-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_COMPONENT_SERVER_DESCRIPTION
    "reference web service of Tern Clipboard
tern-server serves accounts, stored clipboard snapshots, shares with their
public pages and the update check to Tern Clipboard clients, keeping them in
one SQLite file. A systemd unit runs it as an unprivileged user.")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/server/postinst
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/server/prerm
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/server/postrm)

include(CPack)
