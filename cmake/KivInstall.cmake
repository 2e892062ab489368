include(CMakePackageConfigHelpers)

install(TARGETS KivCore EXPORT KivCoreTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/kiv DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(KIV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KivCore)
install(EXPORT KivCoreTargets NAMESPACE KivCore:: DESTINATION ${KIV_CMAKE_DIR})
configure_package_config_file(cmake/KivCoreConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/KivCoreConfig.cmake INSTALL_DESTINATION ${KIV_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KivCoreConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${CMAKE_CURRENT_BINARY_DIR}/KivCoreConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/KivCoreConfigVersion.cmake
    cmake/KivEmbedResources.cmake
    DESTINATION ${KIV_CMAKE_DIR})

configure_file(cmake/kivcore.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kivcore.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kivcore.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
