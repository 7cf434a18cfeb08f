# Static archives beside the shared libraries, for hosts that link the
# evaluator into their own program: libKelvaroRPN.a (the reentrant API) and
# libKelvaroCalculatorRPN.a (the legacy export). Each is whole by itself, made
# of the same objects as kelvaro_static, so a host links one archive and the
# C++ runtime. Not on Windows, where the import library of a DLL already
# takes the name a static library would have (KelvaroRPN.lib).
if(WIN32 OR EMSCRIPTEN)
    return()
endif()

# What the C++ linker adds to a C link (libstdc++ and libm with g++): a host
# linked by the C compiler names these after the archive.
set(KELVARO_CXX_RUNTIME ${CMAKE_CXX_IMPLICIT_LINK_LIBRARIES})
if(CMAKE_C_IMPLICIT_LINK_LIBRARIES)
    list(REMOVE_ITEM KELVARO_CXX_RUNTIME ${CMAKE_C_IMPLICIT_LINK_LIBRARIES})
endif()
list(APPEND KELVARO_CXX_RUNTIME m)
list(REMOVE_DUPLICATES KELVARO_CXX_RUNTIME)

# The objects go in as sources, not by linking the object libraries: an
# archive's link dependencies are exported with it, and the internal object
# libraries are not exported.
function(kelvaro_static_library target)
    add_library(${target}_static STATIC)
    foreach(part IN LISTS ARGN)
        target_sources(${target}_static PRIVATE $<TARGET_OBJECTS:${part}>)
    endforeach()
    add_library(${target}::${target}_static ALIAS ${target}_static)
    target_link_libraries(${target}_static PUBLIC $<BUILD_INTERFACE:kelvaro_public_headers>)
    target_link_libraries(${target}_static PRIVATE ${KELVARO_CXX_RUNTIME})
    set_target_properties(${target}_static PROPERTIES
        OUTPUT_NAME ${target}
        LINKER_LANGUAGE CXX)
endfunction()

kelvaro_static_library(KelvaroRPN kelvaro_engine kelvaro_reentrant)
kelvaro_static_library(KelvaroCalculatorRPN kelvaro_engine kelvaro_reentrant kelvaro_legacy)
