# Run by CPack after it has built the Debian packages (CPACK_POST_BUILD_SCRIPTS).
# CPack 3.25 gives every package with a shared library under /usr/lib a
# postinst and a postrm that only run ldconfig. Debian runs ldconfig through
# libc's trigger instead, which the library packages activate in their
# triggers file; and a postrm would keep a removed package in the state "rc"
# until it is purged. So the two scripts come out again, once they are seen
# to be exactly CPack's, and the package is built anew from the same files.
set(kelvaro_cpack_postinst "#!/bin/sh\n\nset -e\n\nif [ \"$1\" = \"configure\" ]; then\n\tldconfig\nfi\n")
set(kelvaro_cpack_postrm "#!/bin/sh\n\nset -e\n\nif [ \"$1\" = \"remove\" ]; then\n\tldconfig\nfi\n")

find_program(KELVARO_DPKG_DEB dpkg-deb REQUIRED)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    set(tree "${package}.tree")
    file(REMOVE_RECURSE "${tree}")
    execute_process(COMMAND ${KELVARO_DPKG_DEB} --raw-extract "${package}" "${tree}"
        COMMAND_ERROR_IS_FATAL ANY)
    set(rebuild FALSE)
    foreach(script postinst postrm)
        set(file "${tree}/DEBIAN/${script}")
        if(NOT EXISTS "${file}")
            continue()
        endif()
        file(READ "${file}" text)
        if(NOT "${text}" STREQUAL "${kelvaro_cpack_${script}}")
            message(FATAL_ERROR "${package}: a ${script} other than CPack's ldconfig call:\n${text}")
        endif()
        if(NOT EXISTS "${tree}/DEBIAN/triggers")
            message(FATAL_ERROR "${package}: ldconfig in its ${script} and no triggers file")
        endif()
        file(REMOVE "${file}")
        set(rebuild TRUE)
    endforeach()
    if(rebuild)
        execute_process(
            COMMAND ${KELVARO_DPKG_DEB} --root-owner-group --build "${tree}" "${package}"
            OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    endif()
    file(REMOVE_RECURSE "${tree}")
endforeach()
