# Run by CPack on the staged files before it builds the Debian package: the
# copyright file, the changelog and the manual page as Debian wants them.
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(manual "${usr}/share/man/man1/mirabou.1")
if(NOT EXISTS "${manual}")
    message(FATAL_ERROR "no manual page staged at ${manual}")
endif()
set(doc "${usr}/share/doc/mirabou")
file(MAKE_DIRECTORY "${doc}")
file(COPY_FILE "${CPACK_MIRABOU_PACKAGING_DIR}/copyright" "${doc}/copyright")
file(COPY_FILE "${CPACK_MIRABOU_PACKAGING_DIR}/changelog" "${doc}/changelog")
# -n: no name or time stamp inside, the same package from the same sources.
foreach(file "${doc}/changelog" "${manual}")
    execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "gzip ${file} failed")
    endif()
endforeach()
file(CHMOD "${doc}/copyright" "${doc}/changelog.gz" "${manual}.gz"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
