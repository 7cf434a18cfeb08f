# Debian packages and a tarball with CPack, from a build configured with
# CMAKE_INSTALL_PREFIX=/usr:
#   cpack -G DEB    one package per install component, named as Debian names them
#   cpack -G TGZ    everything in one archive
# Each package carries its copyright file, written from LICENSE; dependencies
# on system libraries come from dpkg-shlibdeps, those between these packages
# are stated here.

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

set(CPACK_PACKAGE_NAME kelvaro-calculator-rpn)
set(CPACK_PACKAGE_VENDOR "the KelvaroCalculatorRPN authors")
set(CPACK_PACKAGE_CONTACT "the KelvaroCalculatorRPN authors <maintainers@kelvaro.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME})
set(CPACK_SOURCE_IGNORE_FILES "/build/;/\\\\.git/")
set(CPACK_COMPONENTS_ALL ${KELVARO_COMPONENTS})

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kelvaro.invalid/calculator-rpn")
foreach(component IN LISTS KELVARO_COMPONENTS)
    string(TOUPPER ${component} COMPONENT)
    set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_NAME ${KELVARO_DEB_${component}})
endforeach()
set(CPACK_COMPONENT_KELVAROCALCULATORRPN_DESCRIPTION
    "Evaluator of arithmetic in reverse Polish notation: the legacy CalculatorRPN export")
set(CPACK_COMPONENT_KELVARORPN_DESCRIPTION
    "Evaluator of arithmetic in reverse Polish notation: the reentrant kelvaro_rpn API")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION
    "Headers, CMake package and pkg-config modules of KelvaroCalculatorRPN and KelvaroRPN")
set(CPACK_COMPONENT_RPN_DESCRIPTION "rpn: evaluates arithmetic in reverse Polish notation")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_RPN_PACKAGE_SECTION math)
# The packages of this build depend on each other at exactly this version.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "${KELVARO_DEB_KelvaroCalculatorRPN} (= ${PROJECT_VERSION}), ${KELVARO_DEB_KelvaroRPN} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_RPN_PACKAGE_DEPENDS "${KELVARO_DEB_KelvaroRPN} (= ${PROJECT_VERSION})")
# dpkg-shlibdeps must find this build's own libraries, which rpn links, in
# the build tree; the dependency on their package is the one stated above.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})

set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_GENERATOR DEB TGZ)
include(CPack)
