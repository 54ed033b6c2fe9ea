# What `cmake --install` puts under the prefix: the library with its SONAME
# links, the public header, runtarvo, a pkg-config file and a CMake package
# (find_package(tarvo) gives the imported target tarvo::tarvo).
include(CMakePackageConfigHelpers)

install(TARGETS tarvo EXPORT tarvoTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(FILES ${PROJECT_SOURCE_DIR}/include/tarvo.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# runtarvo finds the library next to it in any prefix.
set_target_properties(runtarvo PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS runtarvo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The pkg-config file names the prefix given at install time (`--prefix`),
# not the one known when the build was configured.
install(CODE "
  set(TARVO_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(CMAKE_INSTALL_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
  set(CMAKE_INSTALL_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  configure_file(\"${CMAKE_CURRENT_LIST_DIR}/tarvo.pc.in\" \"${PROJECT_BINARY_DIR}/install/tarvo.pc\" @ONLY)")
install(FILES ${PROJECT_BINARY_DIR}/install/tarvo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(TARVO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/tarvo)
install(EXPORT tarvoTargets NAMESPACE tarvo:: DESTINATION ${TARVO_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/tarvoConfig.cmake.in
  ${PROJECT_BINARY_DIR}/tarvoConfig.cmake INSTALL_DESTINATION ${TARVO_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tarvoConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tarvoConfig.cmake ${PROJECT_BINARY_DIR}/tarvoConfigVersion.cmake
  DESTINATION ${TARVO_CMAKE_DIR})
