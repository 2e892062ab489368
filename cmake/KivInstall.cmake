include(CMakePackageConfigHelpers)

install(TARGETS KivCore kivc kivdump EXPORT KivCoreTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY include/kiv DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(KIV_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/KivCore)
install(EXPORT KivCoreTargets NAMESPACE KivCore:: DESTINATION ${KIV_CMAKE_DIR})
configure_package_config_file(cmake/KivCoreConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/KivCoreConfig.cmake INSTALL_DESTINATION ${KIV_CMAKE_DIR}
    PATH_VARS CMAKE_INSTALL_DATADIR)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/KivCoreConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${CMAKE_CURRENT_BINARY_DIR}/KivCoreConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/KivCoreConfigVersion.cmake
    cmake/KivEmbedResources.cmake
    cmake/KivGameData.cmake
    DESTINATION ${KIV_CMAKE_DIR})

# The pkg-config file finds the prefix from its own place, so the installed tree can move.
set(KIV_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(KIV_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
    file(RELATIVE_PATH KIV_PC_UP "/prefix/${KIV_PC_DIR}" "/prefix")
    set(KIV_PC_PREFIX "\${pcfiledir}/${KIV_PC_UP}")
endif()
configure_file(cmake/kivcore.pc.in ${CMAKE_CURRENT_BINARY_DIR}/kivcore.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/kivcore.pc DESTINATION ${KIV_PC_DIR})

# What a developer reads and starts from: the README, the guides, the schema of game
# descriptions and the example games.
set(KIV_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kivcore)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_BINARY_DIR}/kivgame.schema.json DESTINATION ${KIV_SHARE_DIR})
install(DIRECTORY examples/ DESTINATION ${KIV_SHARE_DIR}/examples)
