# Debian packages of the Linux artifacts (cpack -G DEB in a build folder): libvelto-box (the
# library with its header, CMake package and pkg-config file), velto (the command-line host)
# and velto-server. Each install() rule names its package as its component.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velto-box)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Velto.Box: a records server client library and its tools")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL libvelto-box velto velto-server)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velto.Box developers <velto-box@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# Dependencies on system libraries come from the programs themselves; velto's on the library
# from the component it needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_LIBVELTO-BOX_PACKAGE_NAME libvelto-box)
set(CPACK_DEBIAN_VELTO_PACKAGE_NAME velto)
set(CPACK_DEBIAN_VELTO-SERVER_PACKAGE_NAME velto-server)
include(CPack)
cpack_add_component(libvelto-box DESCRIPTION "the Velto.Box library, its header and package files")
cpack_add_component(velto DESCRIPTION "velto, the command-line host of the library"
                    DEPENDS libvelto-box)
cpack_add_component(velto-server DESCRIPTION "velto-server, the reference records server")
