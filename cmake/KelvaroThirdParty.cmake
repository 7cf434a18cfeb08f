# Header-only libraries from the build machine's Debian packages: fast_float
# (libfast-float-dev) reads numbers, {fmt} (libfmt-dev) writes them. A cross
# build must not put the build machine's /usr/include on its path, so the
# headers are copied into the build tree and only that copy is used.
set(KELVARO_THIRD_PARTY_INCLUDE_DIR ${PROJECT_BINARY_DIR}/third_party/include)

function(kelvaro_copy_headers name probe)
    find_path(kelvaro_${name}_dir ${probe} NO_CMAKE_FIND_ROOT_PATH
        PATHS /usr/include /usr/local/include)
    if(NOT kelvaro_${name}_dir)
        message(FATAL_ERROR "${probe} not found: install Debian's ${ARGN}")
    endif()
    get_filename_component(folder ${probe} DIRECTORY)
    file(GLOB headers ${kelvaro_${name}_dir}/${folder}/*.h)
    file(COPY ${headers} DESTINATION ${KELVARO_THIRD_PARTY_INCLUDE_DIR}/${folder})
endfunction()

kelvaro_copy_headers(fast_float fast_float/fast_float.h libfast-float-dev)
kelvaro_copy_headers(fmt fmt/format.h libfmt-dev)

# {fmt} as headers only: nothing to link, the same on every target.
add_library(kelvaro_third_party INTERFACE)
target_include_directories(kelvaro_third_party SYSTEM INTERFACE ${KELVARO_THIRD_PARTY_INCLUDE_DIR})
target_compile_definitions(kelvaro_third_party INTERFACE FMT_HEADER_ONLY)
