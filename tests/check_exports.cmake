# Every symbol the shared object's dynamic table defines must match EXPECTED
# (a regular expression), there must be at least one, and its SONAME must be
# SONAME.
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
    if(NOT name MATCHES "${EXPECTED}")
        message(FATAL_ERROR "${LIBRARY} exports '${name}', which does not match ${EXPECTED}")
    endif()
endforeach()
if(names STREQUAL "")
    message(FATAL_ERROR "${LIBRARY} exports nothing")
endif()

execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE headers)
string(REPLACE "." "\\." soname_pattern "${SONAME}")
if(NOT headers MATCHES "SONAME +${soname_pattern}\n")
    message(FATAL_ERROR "SONAME is not ${SONAME}")
endif()
message(STATUS "exports: ${names}")
