# What makes KelvaroCalculatorRPN a Windows DLL: its file name, an export table
# of exactly one entry (CalculatorRPN, ordinal 1), a version resource, the load
# and unload entry point, and runtimes linked in so that it needs only the
# system's own DLLs. Included after the library target exists.

# Windows looks for a program's DLLs beside it: programs and DLLs of the build
# share one folder, so tests and the host run from the build tree.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
set_target_properties(KelvaroCalculatorRPN PROPERTIES
    PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# 32-bit __stdcall functions carry their argument size in the symbol name
# (CalculatorRPN@4). The export table holds the plain name (--kill-at); the
# import library must keep the decorated one, which is what 32-bit callers that
# declare the function __stdcall ask for. The linker's own import library loses
# it, so dlltool writes the import library from the .def instead.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(KELVARO_EXPORT_DECORATION "@4")
    target_link_options(KelvaroCalculatorRPN PRIVATE "LINKER:--kill-at")
else()
    set(KELVARO_EXPORT_DECORATION "")
endif()
set(KELVARO_DEF_FILE ${PROJECT_BINARY_DIR}/KelvaroCalculatorRPN.def)
configure_file(${PROJECT_SOURCE_DIR}/export/KelvaroCalculatorRPN.def.in
    ${KELVARO_DEF_FILE} @ONLY)
add_custom_command(TARGET KelvaroCalculatorRPN POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} --kill-at
        --input-def ${KELVARO_DEF_FILE}
        --dllname $<TARGET_FILE_NAME:KelvaroCalculatorRPN>
        --output-lib $<TARGET_LINKER_FILE_NAME:KelvaroCalculatorRPN>
    WORKING_DIRECTORY $<TARGET_LINKER_FILE_DIR:KelvaroCalculatorRPN>
    COMMENT "Writing the import library of KelvaroCalculatorRPN.dll from its .def"
    VERBATIM)

enable_language(RC)
set_source_files_properties(${PROJECT_SOURCE_DIR}/export/version.rc PROPERTIES
    COMPILE_DEFINITIONS "KELVARO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};KELVARO_VERSION_MINOR=${PROJECT_VERSION_MINOR};KELVARO_VERSION_PATCH=${PROJECT_VERSION_PATCH};KELVARO_VERSION_TWEAK=${PROJECT_VERSION_TWEAK}")

add_library(kelvaro_module_glue OBJECT export/module_glue.cpp)
kelvaro_set_warnings(kelvaro_module_glue)

target_sources(KelvaroCalculatorRPN PRIVATE
    $<TARGET_OBJECTS:kelvaro_module_glue>
    export/version.rc
    ${KELVARO_DEF_FILE})
target_link_options(KelvaroCalculatorRPN PRIVATE
    -static
    "LINKER:--no-undefined")

add_executable(kelvaro_import_library_check export/import_library_check.c)
target_link_libraries(kelvaro_import_library_check PRIVATE KelvaroCalculatorRPN)
set_target_properties(kelvaro_import_library_check PROPERTIES C_STANDARD 99)
kelvaro_set_warnings(kelvaro_import_library_check)
