# cmake -DSOURCE=... -DDEST=... -P CopyIfMissing.cmake
if(NOT EXISTS "${DEST}")
    configure_file("${SOURCE}" "${DEST}" COPYONLY)
endif()
