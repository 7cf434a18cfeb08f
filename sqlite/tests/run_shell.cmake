# Runs SCRIPT in the sqlite3 shell (SQLITE3) on an empty database and compares
# what it writes to standard output with EXPECTED and to standard error with
# EXPECTED_ERRORS. The script's errors are expected: the shell goes on after
# each one and ends with status 1.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${SQLITE3} -batch :memory:
    INPUT_FILE ${SCRIPT}
    OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
function(compare what got expected_file)
    file(READ ${expected_file} expected)
    if(NOT got STREQUAL expected)
        message(FATAL_ERROR "sqlite3's ${what} differs from ${expected_file}:\n"
            "---- got\n${got}---- expected\n${expected}----")
    endif()
endfunction()
compare("standard output" "${output}" ${EXPECTED})
compare("standard error" "${errors}" ${EXPECTED_ERRORS})
if(NOT status EQUAL 1)
    message(FATAL_ERROR "sqlite3 ended with status ${status}, not 1 (errors reported)")
endif()
