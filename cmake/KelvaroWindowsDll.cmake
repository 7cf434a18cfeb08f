# What makes a library of the project a Windows DLL: its plain file name, a
# version resource, the load and unload entry point, and runtimes linked in
# so that it needs only the system's own DLLs. The legacy library also gets
# an export table of exactly one entry (CalculatorRPN, ordinal 1); the
# reentrant one exports what its header marks __declspec(dllexport).
#
# Programs find their DLLs beside them: a Windows build points
# CMAKE_RUNTIME_OUTPUT_DIRECTORY at one folder, <build>/bin unless the user
# chose another (see the top-level CMakeLists.txt).

add_library(kelvaro_module_glue OBJECT export/module_glue.cpp)
kelvaro_set_warnings(kelvaro_module_glue)
enable_language(RC)

#   kelvaro_windows_dll(target description)
function(kelvaro_windows_dll target description)
    set(KELVARO_RC_MODULE ${target})
    set(KELVARO_RC_DESCRIPTION "${description}")
    set(rc ${PROJECT_BINARY_DIR}/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/export/version.rc.in ${rc} @ONLY)
    set_target_properties(${target} PROPERTIES PREFIX "")
    target_sources(${target} PRIVATE ${rc})
    target_link_libraries(${target} PRIVATE kelvaro_module_glue)
    target_link_options(${target} PRIVATE -static "LINKER:--no-undefined")
endfunction()

kelvaro_windows_dll(KelvaroCalculatorRPN "Evaluator of arithmetic in reverse Polish notation")
kelvaro_windows_dll(KelvaroRPN "Reentrant evaluator of arithmetic in reverse Polish notation")

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
target_sources(KelvaroCalculatorRPN PRIVATE ${KELVARO_DEF_FILE})
add_custom_command(TARGET KelvaroCalculatorRPN POST_BUILD
    COMMAND ${CMAKE_DLLTOOL} --kill-at
        --input-def ${KELVARO_DEF_FILE}
        --dllname $<TARGET_FILE_NAME:KelvaroCalculatorRPN>
        --output-lib $<TARGET_LINKER_FILE_NAME:KelvaroCalculatorRPN>
    WORKING_DIRECTORY $<TARGET_LINKER_FILE_DIR:KelvaroCalculatorRPN>
    COMMENT "Writing the import library of KelvaroCalculatorRPN.dll from its .def"
    VERBATIM)

# A C host that links each DLL through its import library.
add_executable(kelvaro_import_library_check export/import_library_check.c)
target_link_libraries(kelvaro_import_library_check PRIVATE KelvaroCalculatorRPN KelvaroRPN)
set_target_properties(kelvaro_import_library_check PROPERTIES C_STANDARD 99)
kelvaro_set_warnings(kelvaro_import_library_check)

# Import libraries for Microsoft's linker, KelvaroRPN.lib and
# KelvaroCalculatorRPN.lib, written from each DLL's .def by llvm-dlltool in
# the short import format that Microsoft's lib.exe writes, with the names
# MSVC asks for (__imp__kelvaro_rpn_evaluate, __imp__CalculatorRPN@4 on x86).
# Not GNU dlltool's archive: its members are objects without the safe
# exception handler mark, which link.exe refuses in a 32-bit image (/SAFESEH,
# its default there). The reentrant DLL's .def is the one its linker writes
# from what it exported, so the list of names stays the header's.
set(KELVARO_RPN_DEF_FILE ${PROJECT_BINARY_DIR}/KelvaroRPN.def)
target_link_options(KelvaroRPN PRIVATE "LINKER:--output-def,${KELVARO_RPN_DEF_FILE}")
find_program(KELVARO_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-16 llvm-dlltool-15 llvm-dlltool-14)
set(KELVARO_MSVC_IMPORT_LIBRARIES "")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(KELVARO_DLLTOOL_MACHINE i386)
else()
    set(KELVARO_DLLTOOL_MACHINE i386:x86-64)
endif()
#   kelvaro_msvc_import_library(target def [llvm-dlltool options...])
function(kelvaro_msvc_import_library target def)
    set(library ${PROJECT_BINARY_DIR}/${target}.lib)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${KELVARO_LLVM_DLLTOOL} -m ${KELVARO_DLLTOOL_MACHINE} ${ARGN}
            -d ${def} -D $<TARGET_FILE_NAME:${target}> -l ${library}
        COMMENT "Writing ${target}.lib, the import library for Microsoft's linker"
        VERBATIM)
    set(KELVARO_MSVC_IMPORT_LIBRARIES ${KELVARO_MSVC_IMPORT_LIBRARIES} ${library} PARENT_SCOPE)
endfunction()
if(KELVARO_LLVM_DLLTOOL)
    kelvaro_msvc_import_library(KelvaroRPN ${KELVARO_RPN_DEF_FILE})
    kelvaro_msvc_import_library(KelvaroCalculatorRPN ${KELVARO_DEF_FILE} -k)
else()
    message(WARNING "llvm-dlltool not found (Debian's llvm): no .lib import libraries "
        "for Microsoft's linker")
endif()
