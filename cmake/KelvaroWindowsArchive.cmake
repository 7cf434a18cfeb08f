# The Windows archive, `cpack -G ZIP` in a Windows build tree: bin/ (both
# DLLs and rpn.exe), include/kelvaro/, lib/ (the import libraries for MinGW,
# libKelvaroRPN.dll.a and libKelvaroCalculatorRPN.dll.a, and for Microsoft's
# linker, KelvaroRPN.lib and KelvaroCalculatorRPN.lib), lib/cmake/ (the
# packages find_package finds), and LICENSE and README.txt at the top.

install(FILES ${KELVARO_MSVC_IMPORT_LIBRARIES}
    DESTINATION ${CMAKE_INSTALL_LIBDIR}
    COMPONENT Development)

# Named .txt, as a Windows user opens them.
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/README.txt.in
    ${PROJECT_BINARY_DIR}/README.txt @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/README.txt DESTINATION . COMPONENT Development)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt COMPONENT Development)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(KELVARO_WINDOWS_ARCHITECTURE win64)
else()
    set(KELVARO_WINDOWS_ARCHITECTURE win32)
endif()
set(CPACK_PACKAGE_NAME kelvaro-calculator-rpn)
set(CPACK_PACKAGE_VENDOR "the KelvaroCalculatorRPN authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME
    ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${KELVARO_WINDOWS_ARCHITECTURE})
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
set(CPACK_GENERATOR ZIP)
include(CPack)
