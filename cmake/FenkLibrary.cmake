# The shipped library: one shared object holding the portable core and the Linux adapters, installed with
# its headers, an exported CMake package (find_package(Fenk)) and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

add_library(fenk SHARED $<TARGET_OBJECTS:fenk_core> $<TARGET_OBJECTS:fenk_location> $<TARGET_OBJECTS:fenk_linux>)
add_library(Fenk::fenk ALIAS fenk)
target_link_libraries(fenk PRIVATE simdjson::simdjson ICU::uc ICU::i18n PkgConfig::SQLite3 PkgConfig::CURL PkgConfig::GPS PkgConfig::SYSTEMD PUBLIC Threads::Threads)
target_include_directories(fenk PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
# The public headers are C++20: a host that links the target compiles them as such.
target_compile_features(fenk PUBLIC cxx_std_20)
set_target_properties(fenk PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

install(TARGETS fenk EXPORT FenkTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY FenkSDK DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} FILES_MATCHING PATTERN "*.h")
install(DIRECTORY adapters/linux adapters/location DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/adapters
        FILES_MATCHING PATTERN "*.h")
install(EXPORT FenkTargets NAMESPACE Fenk:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Fenk)

file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/FenkConfig.cmake.in [=[
@PACKAGE_INIT@
include(CMakeFindDependencyMacro)
find_dependency(Threads)
include("${CMAKE_CURRENT_LIST_DIR}/FenkTargets.cmake")
]=])
configure_package_config_file(${CMAKE_CURRENT_BINARY_DIR}/FenkConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/FenkConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Fenk)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/FenkConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/FenkConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/FenkConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Fenk)

# The prefix is found from where the file lies, so an installation staged or moved elsewhere still works.
file(RELATIVE_PATH FENK_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/fenk.pc.in [=[
prefix=${pcfiledir}/@FENK_PC_TO_PREFIX@
libdir=${prefix}/@CMAKE_INSTALL_LIBDIR@
includedir=${prefix}/@CMAKE_INSTALL_INCLUDEDIR@

Name: fenk
Description: @PROJECT_DESCRIPTION@
Version: @PROJECT_VERSION@
Libs: -L${libdir} -lfenk -pthread
Cflags: -I${includedir} -std=c++20
]=])
configure_file(${CMAKE_CURRENT_BINARY_DIR}/fenk.pc.in ${CMAKE_CURRENT_BINARY_DIR}/fenk.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/fenk.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
