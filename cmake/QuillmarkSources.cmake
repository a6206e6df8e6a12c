# Every subsystem folder of src/ names its sources in a CMakeLists.txt of
# its own, the core's (plain C++ with pugixml, libcurl, SQLite and gumbo,
# no Qt) apart from the shell's (Qt Widgets and Qt WebEngine):
#
#   quillmark_sources(CORE Profile.cpp Profile.h SHELL CProfileData.cpp ...)
#
# The names gather, as full paths, in the global properties
# QUILLMARK_CORE_SOURCES and QUILLMARK_SHELL_SOURCES, from which
# src/CMakeLists.txt (and the fuzz build, for the core) make the libraries.
function(quillmark_sources)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "CORE;SHELL")
    foreach(layer CORE SHELL)
        foreach(file IN LISTS arg_${layer})
            set_property(GLOBAL APPEND PROPERTY QUILLMARK_${layer}_SOURCES
                ${CMAKE_CURRENT_LIST_DIR}/${file})
        endforeach()
    endforeach()
endfunction()

# The subsystems whose sources make up the core and the shell.
set(QUILLMARK_SUBSYSTEMS common directorydb profiles fill browser update capture app record)
