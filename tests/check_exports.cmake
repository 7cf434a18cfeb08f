# The shared object's dynamic symbol table must define CalculatorRPN and
# nothing else, and its SONAME must carry the major version.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
set(names "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^.* " "" name "${line}")
    list(APPEND names "${name}")
endforeach()
if(NOT names STREQUAL "CalculatorRPN")
    message(FATAL_ERROR "exported symbols are '${names}', expected only CalculatorRPN")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE headers)
if(NOT headers MATCHES "SONAME +libKelvaroCalculatorRPN\\.so\\.1\n")
    message(FATAL_ERROR "SONAME is not libKelvaroCalculatorRPN.so.1")
endif()
message(STATUS "exports: ${names}")
