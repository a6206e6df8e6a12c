# Copies SOURCE to DESTINATION unless DESTINATION exists: a database the user
# updated is never replaced by the demo's.
if(NOT EXISTS "${DESTINATION}")
    configure_file("${SOURCE}" "${DESTINATION}" COPYONLY)
endif()
