# What `cmake --install` writes beside the library so that other builds can consume it:
# a CMake package (find_package(VeltoBox) -> VeltoBox::velto_box) and a pkg-config file
# (velto-box.pc).
include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

set(velto_box_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/VeltoBox)
install(EXPORT VeltoBoxTargets NAMESPACE VeltoBox:: DESTINATION ${velto_box_cmake_dir}
        COMPONENT libvelto-box)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VeltoBoxConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VeltoBoxConfig.cmake INSTALL_DESTINATION ${velto_box_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/VeltoBoxConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VeltoBoxConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/VeltoBoxConfigVersion.cmake
        DESTINATION ${velto_box_cmake_dir} COMPONENT libvelto-box)

# The file finds the installed tree from its own place, so the tree can move (dist/).
if(WIN32)
  set(VELTO_BOX_LINK_NAME Velto.Box)  # libVelto.Box.dll.a, the import library
else()
  set(VELTO_BOX_LINK_NAME velto-box)
endif()
file(RELATIVE_PATH VELTO_BOX_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" VELTO_BOX_PC_TO_PREFIX "${VELTO_BOX_PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/velto-box.pc.in ${CMAKE_CURRENT_BINARY_DIR}/velto-box.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/velto-box.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT libvelto-box)
