# Install rules: the headers, both shared libraries with their SONAME links, a
# CMake package (find_package(KelvaroCalculatorRPN 1.0) gives the imported
# targets KelvaroCalculatorRPN::KelvaroCalculatorRPN, the legacy export, and
# KelvaroCalculatorRPN::KelvaroRPN, the reentrant API), a pkg-config module for
# each library, and the rpn program with its manual page.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(KELVARO_PACKAGE KelvaroCalculatorRPN)
set(KELVARO_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/${KELVARO_PACKAGE})

install(FILES
    include/kelvaro/calculator_rpn.h
    include/kelvaro/rpn.h
    ${KELVARO_GENERATED_INCLUDE_DIR}/kelvaro/version.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelvaro
    COMPONENT Development)

# Each library is a component of its own, so that a binary package can carry
# one shared object, as Debian's packages named after a SONAME do.
foreach(library KelvaroCalculatorRPN KelvaroRPN)
    install(TARGETS ${library}
        EXPORT ${KELVARO_PACKAGE}Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            COMPONENT ${library}
            NAMELINK_COMPONENT Development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${library}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endforeach()

install(EXPORT ${KELVARO_PACKAGE}Targets
    NAMESPACE ${KELVARO_PACKAGE}::
    DESTINATION ${KELVARO_CMAKE_DIR}
    COMPONENT Development)

configure_package_config_file(
    ${CMAKE_CURRENT_LIST_DIR}/${KELVARO_PACKAGE}Config.cmake.in
    ${PROJECT_BINARY_DIR}/${KELVARO_PACKAGE}Config.cmake
    INSTALL_DESTINATION ${KELVARO_CMAKE_DIR})
# A release satisfies a request for any earlier version of its major one.
write_basic_package_version_file(
    ${PROJECT_BINARY_DIR}/${KELVARO_PACKAGE}ConfigVersion.cmake
    VERSION ${PROJECT_VERSION}
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/${KELVARO_PACKAGE}Config.cmake
    ${PROJECT_BINARY_DIR}/${KELVARO_PACKAGE}ConfigVersion.cmake
    DESTINATION ${KELVARO_CMAKE_DIR}
    COMPONENT Development)

# pkg-config. The prefix is the one of the actual installation, which
# `cmake --install --prefix` may choose after configuring: the file is
# written in two steps, the second one at install time.
set(KELVARO_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
set(KELVARO_PC_PREFIX "@CMAKE_INSTALL_PREFIX@")
foreach(dir LIBDIR INCLUDEDIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
        set(KELVARO_PC_${dir} "${CMAKE_INSTALL_${dir}}")
    else()
        set(KELVARO_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
    endif()
endforeach()
foreach(module KelvaroCalculatorRPN KelvaroRPN)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/${module}.pc.in
        ${PROJECT_BINARY_DIR}/${module}.pc.install @ONLY)
    install(CODE "configure_file(\"${PROJECT_BINARY_DIR}/${module}.pc.install\"
        \"${PROJECT_BINARY_DIR}/${module}.pc\" @ONLY)"
        COMPONENT Development)
    install(FILES ${PROJECT_BINARY_DIR}/${module}.pc
        DESTINATION ${KELVARO_PC_DIR}
        COMPONENT Development)
endforeach()

if(TARGET rpn)
    # Finds the library next to it wherever the tree is installed; under /usr
    # the system's loader finds it, and Debian's conventions want no RPATH.
    file(RELATIVE_PATH KELVARO_BIN_TO_LIB
        /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${CMAKE_INSTALL_LIBDIR})
    if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
        set_target_properties(rpn PROPERTIES INSTALL_RPATH "")
    elseif(APPLE)
        set_target_properties(rpn PROPERTIES INSTALL_RPATH "@loader_path/${KELVARO_BIN_TO_LIB}")
    elseif(NOT WIN32)
        set_target_properties(rpn PROPERTIES INSTALL_RPATH "$ORIGIN/${KELVARO_BIN_TO_LIB}")
    endif()
    install(TARGETS rpn RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT rpn)
    install(FILES ${PROJECT_BINARY_DIR}/host/rpn.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT rpn)
endif()
