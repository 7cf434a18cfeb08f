# The Windows DLL's export table must hold CalculatorRPN at ordinal 1 and
# nothing else, it must carry a version resource (read back with WINDRES:
# version 1.0.0.1 and the module's names), and it may import only from the
# system's own DLLs (the C and C++ runtimes are linked in). Reads the file
# only, so it serves targets whose programs cannot run here.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
    OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${LIBRARY}")
endif()

if(NOT headers MATCHES "\nName[ \t]+[0-9a-f]+ KelvaroCalculatorRPN\\.dll\n")
    message(FATAL_ERROR "the export table does not name KelvaroCalculatorRPN.dll")
endif()
if(NOT headers MATCHES "\nOrdinal Base[ \t]+1\n")
    message(FATAL_ERROR "the export ordinals do not start at 1")
endif()
string(REGEX MATCH "Export Address Table -- Ordinal Base 1\n(([^\n]+\n)*)"
    exportSection "${headers}")
string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\]" ordinals "${CMAKE_MATCH_1}")
if(NOT ordinals MATCHES "^\\+base\\[ *1\\]$")
    message(FATAL_ERROR "export ordinals are '${ordinals}', expected only 1")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([^\n]+\n)*)" nameSection "${headers}")
string(REGEX MATCHALL "\\] [^\n]+" names "${CMAKE_MATCH_1}")
if(NOT names STREQUAL "] CalculatorRPN")
    message(FATAL_ERROR "exported names are '${names}', expected only CalculatorRPN")
endif()

# Resource type 16 is RT_VERSION; type entries are the least indented.
string(FIND "${headers}" "The .rsrc Resource Directory section:" resources)
if(resources EQUAL -1)
    message(FATAL_ERROR "no resources")
endif()
string(SUBSTRING "${headers}" ${resources} -1 resourceSection)
if(NOT resourceSection MATCHES "\n[0-9a-f]+   Entry: ID: 0x0*10,")
    message(FATAL_ERROR "no version resource")
endif()

execute_process(COMMAND ${WINDRES} --input ${LIBRARY} --output-format rc
    OUTPUT_VARIABLE resources RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "windres could not read the resources of ${LIBRARY}")
endif()
foreach(expected IN ITEMS
        "\n FILEVERSION 1, 0, 0, 1\n"
        "\n PRODUCTVERSION 1, 0, 0, 1\n"
        "VALUE \"FileVersion\", \"1.0.0.1\"\n"
        "VALUE \"ProductVersion\", \"1.0.0.1\"\n"
        "VALUE \"InternalName\", \"KelvaroCalculatorRPN\"\n"
        "VALUE \"OriginalFilename\", \"KelvaroCalculatorRPN.dll\"\n")
    string(FIND "${resources}" "${expected}" found)
    if(found EQUAL -1)
        string(STRIP "${expected}" expected)
        message(FATAL_ERROR "the version resource lacks ${expected}")
    endif()
endforeach()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
list(REMOVE_DUPLICATES imports)
foreach(dll IN LISTS imports)
    string(TOLOWER "${dll}" name)
    if(NOT name MATCHES "^(kernel32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\\.dll$")
        message(FATAL_ERROR "imports ${dll}, which is not a system DLL")
    endif()
endforeach()
message(STATUS "exports: CalculatorRPN @1; version 1.0.0.1; imports: ${imports}")
