# A Windows build packs a ZIP archive instead (cmake/KelvaroWindowsArchive.cmake).
if(WIN32)
    include(KelvaroWindowsArchive)
    return()
endif()

# Debian packages and a tarball with CPack, from a build configured with
# CMAKE_INSTALL_PREFIX=/usr:
#   cpack -G DEB    one package per install component, named as Debian names them
#   cpack -G TGZ    everything in one archive
# Each package carries its copyright file, written from LICENSE, and its
# changelog; dependencies on system libraries come from dpkg-shlibdeps, those
# between these packages are stated here. The texts, the changelog and the
# libraries' triggers file are in cmake/debian/.

# The Debian version: the project's, and the revision of its packaging.
set(KELVARO_DEB_SOURCE kelvaro-calculator-rpn)
set(KELVARO_DEB_REVISION 1)
set(KELVARO_DEB_VERSION ${PROJECT_VERSION}-${KELVARO_DEB_REVISION})
set(KELVARO_DEB_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
set(KELVARO_DEB_MAINTAINER "the KelvaroCalculatorRPN authors <maintainers@kelvaro.invalid>")

# Debian package of each install component.
set(KELVARO_DEB_KelvaroCalculatorRPN libkelvarocalculatorrpn${PROJECT_VERSION_MAJOR})
set(KELVARO_DEB_KelvaroRPN libkelvarorpn${PROJECT_VERSION_MAJOR})
set(KELVARO_DEB_Development libkelvarocalculatorrpn-dev)
set(KELVARO_DEB_rpn kelvaro-rpn)
set(KELVARO_COMPONENTS KelvaroCalculatorRPN KelvaroRPN Development)
if(TARGET rpn)
    list(APPEND KELVARO_COMPONENTS rpn)
endif()

# /usr/share/doc/<package>/copyright in the machine-readable format, the
# licence text indented below it.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE KELVARO_LICENSE)
string(REGEX REPLACE "^MIT License\n\n[^\n]*\n\n" "" KELVARO_LICENSE "${KELVARO_LICENSE}")
string(REGEX REPLACE "\n\n" "\n.\n" KELVARO_LICENSE "${KELVARO_LICENSE}")
string(REGEX REPLACE "\n([^\n])" "\n \\1" KELVARO_LICENSE " ${KELVARO_LICENSE}")
string(REGEX REPLACE "\n \\.\n" "\n .\n" KELVARO_LICENSE "${KELVARO_LICENSE}")
file(WRITE ${PROJECT_BINARY_DIR}/debian-copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${PROJECT_NAME}
Source: the KelvaroCalculatorRPN repository

Files: *
Copyright: 2026 the KelvaroCalculatorRPN authors
License: MIT
${KELVARO_LICENSE}")
foreach(component IN LISTS KELVARO_COMPONENTS)
    install(FILES ${PROJECT_BINARY_DIR}/debian-copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${KELVARO_DEB_${component}}
        RENAME copyright
        COMPONENT ${component})
endforeach()

# /usr/share/doc/<package>/changelog.Debian.gz, compressed as Debian's tools
# compress it (-9, no name or time stamp). Debian packages are built on
# Debian; a Windows build has no gzip to ask for.
if(NOT WIN32)
    configure_file(${KELVARO_DEB_DIR}/changelog.in ${PROJECT_BINARY_DIR}/debian-changelog @ONLY)
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian-changelog.gz
        COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/debian-changelog
            > ${PROJECT_BINARY_DIR}/debian-changelog.gz
        DEPENDS ${PROJECT_BINARY_DIR}/debian-changelog
        COMMENT "Compressing the Debian changelog")
    add_custom_target(kelvaro_debian_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian-changelog.gz)
    foreach(component IN LISTS KELVARO_COMPONENTS)
        install(FILES ${PROJECT_BINARY_DIR}/debian-changelog.gz
            DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${KELVARO_DEB_${component}}
            RENAME changelog.Debian.gz
            COMPONENT ${component})
        # The one lintian tag that does not apply to packages made outside
        # Debian's archive; the file says why.
        install(FILES ${KELVARO_DEB_DIR}/lintian-overrides
            DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
            RENAME ${KELVARO_DEB_${component}}
            COMPONENT ${component})
    endforeach()
endif()

set(CPACK_PACKAGE_NAME kelvaro-calculator-rpn)
set(CPACK_PACKAGE_VENDOR "the KelvaroCalculatorRPN authors")
set(CPACK_PACKAGE_CONTACT "${KELVARO_DEB_MAINTAINER}")
# CPack puts this summary before the description of every Debian package
# unless it is CPack's own default; each package here has a synopsis of its
# own, the first line of its description.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Debian wants installed programs and shared libraries stripped. (CPack's
# -dbgsym packages, CPACK_DEBIAN_DEBUGINFO_PACKAGE, come without copyright
# and changelog and with md5sums naming build-tree paths.)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME})
set(CPACK_SOURCE_IGNORE_FILES "/build/;/\\\\.git/")
set(CPACK_COMPONENTS_ALL ${KELVARO_COMPONENTS})

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE ${KELVARO_DEB_SOURCE})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KELVARO_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kelvaro.invalid/calculator-rpn")
# Each package's synopsis and description: cmake/debian/<component>.description.
foreach(component IN LISTS KELVARO_COMPONENTS)
    string(TOUPPER ${component} COMPONENT)
    set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_NAME ${KELVARO_DEB_${component}})
    file(READ ${KELVARO_DEB_DIR}/${component}.description CPACK_DEBIAN_${COMPONENT}_DESCRIPTION)
endforeach()
# ldconfig runs through libc's trigger; the scripts CPack writes to run it
# are taken out again once the packages are built.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_KELVAROCALCULATORRPN_PACKAGE_CONTROL_EXTRA ${KELVARO_DEB_DIR}/triggers)
set(CPACK_DEBIAN_KELVARORPN_PACKAGE_CONTROL_EXTRA ${KELVARO_DEB_DIR}/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${KELVARO_DEB_DIR}/drop_ldconfig_scripts.cmake)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_RPN_PACKAGE_SECTION math)
# The packages of this build depend on each other at exactly this version.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "${KELVARO_DEB_KelvaroCalculatorRPN} (= ${KELVARO_DEB_VERSION}), ${KELVARO_DEB_KelvaroRPN} (= ${KELVARO_DEB_VERSION})")
set(CPACK_DEBIAN_RPN_PACKAGE_DEPENDS "${KELVARO_DEB_KelvaroRPN} (= ${KELVARO_DEB_VERSION})")
# dpkg-shlibdeps must find this build's own libraries, which rpn links, in
# the build tree; the dependency on their package is the one stated above.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})

set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_GENERATOR DEB TGZ)
include(CPack)
