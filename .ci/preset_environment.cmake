# Prints the value that a configure preset of CMakePresets.json gives an
# environment variable in its own "environment" (not one it inherits), so
# that a script can run programs as the preset's builds and tests run.
#   cmake -DPRESET=asan-ubsan -DVARIABLE=ASAN_OPTIONS -P .ci/preset_environment.cmake
# Fails if the preset or the variable is not there.
foreach(argument PRESET VARIABLE)
    if(NOT DEFINED ${argument})
        message(FATAL_ERROR "usage: cmake -DPRESET=name -DVARIABLE=name -P ${CMAKE_CURRENT_LIST_FILE}")
    endif()
endforeach()
file(READ ${CMAKE_CURRENT_LIST_DIR}/../CMakePresets.json presets)
string(JSON count LENGTH "${presets}" configurePresets)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
    string(JSON name GET "${presets}" configurePresets ${index} name)
    if(name STREQUAL PRESET)
        string(JSON value ERROR_VARIABLE missing
            GET "${presets}" configurePresets ${index} environment ${VARIABLE})
        if(missing)
            message(FATAL_ERROR "configure preset ${PRESET} sets no ${VARIABLE}")
        endif()
        execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${value}")
        return()
    endif()
endforeach()
message(FATAL_ERROR "no configure preset ${PRESET} in CMakePresets.json")
