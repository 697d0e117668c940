# What `cmake --install --component MOLV_Wrap` puts into a prefix (GNU
# layout): the module with a SONAME and our bregexp.dll beside it, where the
# module's RUNPATH finds it; molv; the public header; a pkg-config file and
# a CMake package giving the imported target MOLV_Wrap::MOLV_Wrap; the
# README. On Windows the DLLs and molv.exe go together into bin/.
# PCRE2's own install rules belong to other components and stay out.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
set(molv_component COMPONENT MOLV_Wrap)
set(molv_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/MOLV_Wrap)

target_include_directories(MOLV_Wrap INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
install(TARGETS MOLV_Wrap EXPORT MOLV_WrapTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} ${molv_component} NAMELINK_COMPONENT MOLV_Wrap
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} ${molv_component}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} ${molv_component})
if(TARGET bregexp)
  install(TARGETS bregexp
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} ${molv_component}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} ${molv_component})
endif()
if(TARGET molv)
  install(TARGETS molv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} ${molv_component})
endif()
install(FILES include/molv_wrap.h ${CMAKE_BINARY_DIR}/include/molv_wrap_version.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${molv_component})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} ${molv_component})
if(WIN32)
  # The Windows package's own README, at the top of its zip (scripts/package).
  configure_file(packaging/README-windows.txt.in ${CMAKE_BINARY_DIR}/package-root/README-windows.txt @ONLY)
endif()

install(EXPORT MOLV_WrapTargets NAMESPACE MOLV_Wrap:: DESTINATION ${molv_cmake_dir} ${molv_component})
configure_package_config_file(packaging/MOLV_WrapConfig.cmake.in
  ${CMAKE_BINARY_DIR}/generated/MOLV_WrapConfig.cmake INSTALL_DESTINATION ${molv_cmake_dir})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/generated/MOLV_WrapConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/generated/MOLV_WrapConfig.cmake
  ${CMAKE_BINARY_DIR}/generated/MOLV_WrapConfigVersion.cmake
  DESTINATION ${molv_cmake_dir} ${molv_component})

# A relocatable pkg-config file: the prefix is found from the file's own place.
file(RELATIVE_PATH MOLV_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(packaging/molv_wrap.pc.in ${CMAKE_BINARY_DIR}/generated/molv_wrap.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/generated/molv_wrap.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig ${molv_component})

# The Linux package: the installed tree as a .tar.gz (scripts/package).
set(CPACK_PACKAGE_NAME MOLV_Wrap)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Regular expressions for hosts that pass 8-bit texts and 32-bit integers")
set(CPACK_GENERATOR TGZ)
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};MOLV_Wrap;MOLV_Wrap;/")
include(CPack)
