# Install rules: the headers; each library shared, with its SONAME links, and
# static beside it; for each library a CMake package and a pkg-config module
# of its own name; and the rpn program with its manual page.
#   find_package(KelvaroRPN 1.0)            KelvaroRPN::KelvaroRPN,
#                                           KelvaroRPN::KelvaroRPN_static
#   find_package(KelvaroCalculatorRPN 1.0)  KelvaroCalculatorRPN::KelvaroCalculatorRPN,
#                                           KelvaroCalculatorRPN::KelvaroCalculatorRPN_static,
#                                           and KelvaroCalculatorRPN::KelvaroRPN, the
#                                           reentrant API under the name hosts used
#                                           when this package held both libraries
#   pkg-config KelvaroRPN, pkg-config KelvaroCalculatorRPN (--static: the archives)
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(FILES
    include/kelvaro/calculator_rpn.h
    include/kelvaro/public.h
    include/kelvaro/rpn.h
    ${KELVARO_GENERATED_INCLUDE_DIR}/kelvaro/version.h
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kelvaro
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
# Libs.private: what a static link needs after the archive.
set(KELVARO_PC_LIBS_PRIVATE "")
foreach(library IN LISTS KELVARO_CXX_RUNTIME)
    string(APPEND KELVARO_PC_LIBS_PRIVATE " -l${library}")
endforeach()
string(STRIP "${KELVARO_PC_LIBS_PRIVATE}" KELVARO_PC_LIBS_PRIVATE)

# One library: its files, its CMake package in <libdir>/cmake/<library>, its
# pkg-config module. Each shared library is an install component of its own,
# so that a binary package can carry one shared object, as Debian's packages
# named after a SONAME do; everything for building against it is Development.
function(kelvaro_install_library library)
    set(targets ${library})
    if(TARGET ${library}_static)
        list(APPEND targets ${library}_static)
    endif()
    set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/${library})
    install(TARGETS ${targets}
        EXPORT ${library}Targets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
            COMPONENT ${library}
            NAMELINK_COMPONENT Development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${library}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
    install(EXPORT ${library}Targets
        NAMESPACE ${library}::
        DESTINATION ${cmake_dir}
        COMPONENT Development)

    configure_package_config_file(
        ${PROJECT_SOURCE_DIR}/cmake/${library}Config.cmake.in
        ${PROJECT_BINARY_DIR}/${library}Config.cmake
        INSTALL_DESTINATION ${cmake_dir})
    # A release satisfies a request for any earlier version of its major one.
    write_basic_package_version_file(
        ${PROJECT_BINARY_DIR}/${library}ConfigVersion.cmake
        VERSION ${PROJECT_VERSION}
        COMPATIBILITY SameMajorVersion)
    install(FILES
        ${PROJECT_BINARY_DIR}/${library}Config.cmake
        ${PROJECT_BINARY_DIR}/${library}ConfigVersion.cmake
        DESTINATION ${cmake_dir}
        COMPONENT Development)

    configure_file(${PROJECT_SOURCE_DIR}/cmake/${library}.pc.in
        ${PROJECT_BINARY_DIR}/${library}.pc.install @ONLY)
    install(CODE "configure_file(\"${PROJECT_BINARY_DIR}/${library}.pc.install\"
        \"${PROJECT_BINARY_DIR}/${library}.pc\" @ONLY)"
        COMPONENT Development)
    install(FILES ${PROJECT_BINARY_DIR}/${library}.pc
        DESTINATION ${KELVARO_PC_DIR}
        COMPONENT Development)
endfunction()

kelvaro_install_library(KelvaroRPN)
kelvaro_install_library(KelvaroCalculatorRPN)

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
    if(NOT WIN32)
        install(FILES ${PROJECT_BINARY_DIR}/host/rpn.1.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT rpn)
    endif()
endif()
