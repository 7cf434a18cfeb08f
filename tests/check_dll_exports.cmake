# A Windows DLL of the project, read from the file alone (so it serves targets
# whose programs cannot run here):
#   -DLIBRARY=<dll> -DOBJDUMP=... -DWINDRES=... -DMODULE=<name without .dll>
#   -DEXPECTED=<regex every exported name must match> -DVERSION=<a.b.c.d>
#   [-DSINGLE_ORDINAL=ON: exactly one export, at ordinal 1]
# The DLL must carry a version resource with VERSION and the module's names,
# and may import only from the system's own DLLs (the C and C++ runtimes are
# linked in).
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
    OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${LIBRARY}")
endif()

string(REPLACE "." "\\." module_pattern "${MODULE}.dll")
if(NOT headers MATCHES "\nName[ \t]+[0-9a-f]+ ${module_pattern}\n")
    message(FATAL_ERROR "the export table does not name ${MODULE}.dll")
endif()
if(NOT headers MATCHES "\nOrdinal Base[ \t]+1\n")
    message(FATAL_ERROR "the export ordinals do not start at 1")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([^\n]+\n)*)" nameSection "${headers}")
# Lines look like "\t[   0] name"; brackets would split a CMake list oddly,
# so they go before the lines become one.
string(REGEX REPLACE "[ \t]*\\[[ 0-9]*\\] " "" nameLines "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "[^\n]+" entries "${nameLines}")
set(names "")
foreach(name IN LISTS entries)
    if(NOT name MATCHES "${EXPECTED}")
        message(FATAL_ERROR "${MODULE}.dll exports '${name}', which does not match ${EXPECTED}")
    endif()
    list(APPEND names "${name}")
endforeach()
if(names STREQUAL "")
    message(FATAL_ERROR "${MODULE}.dll exports nothing")
endif()
if(SINGLE_ORDINAL)
    string(REGEX MATCH "Export Address Table -- Ordinal Base 1\n(([^\n]+\n)*)"
        exportSection "${headers}")
    string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\]" ordinals "${CMAKE_MATCH_1}")
    if(NOT ordinals MATCHES "^\\+base\\[ *1\\]$")
        message(FATAL_ERROR "export ordinals are '${ordinals}', expected only 1")
    endif()
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
string(REPLACE "." ", " version_commas "${VERSION}")
foreach(expected IN ITEMS
        "\n FILEVERSION ${version_commas}\n"
        "\n PRODUCTVERSION ${version_commas}\n"
        "VALUE \"FileVersion\", \"${VERSION}\"\n"
        "VALUE \"ProductVersion\", \"${VERSION}\"\n"
        "VALUE \"InternalName\", \"${MODULE}\"\n"
        "VALUE \"OriginalFilename\", \"${MODULE}.dll\"\n")
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
message(STATUS "${MODULE}.dll exports: ${names}; version ${VERSION}; imports: ${imports}")
