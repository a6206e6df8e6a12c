# The sources live in two layers, and a file's path says which:
#
#   src/core/<area>/   plain C++ with pugixml and libcurl, no Qt: the
#                      quillmark_core library, tested without a display;
#   src/shell/<area>/  Qt Widgets and Qt WebEngine on top of the core: the
#                      quillmark_shell library.
#
# Each area folder names its sources in a CMakeLists.txt of its own:
#
#   quillmark_sources(Profile.cpp Profile.h ...)
#
# The names gather, as full paths, in the global properties
# QUILLMARK_CORE_SOURCES and QUILLMARK_SHELL_SOURCES, from which
# src/CMakeLists.txt (and the fuzz build, for the core) make the libraries.
# A core source that includes a shell header stops the configuration.
function(quillmark_sources)
    if(CMAKE_CURRENT_LIST_DIR MATCHES "/src/core/[^/]+$")
        set(layer CORE)
    elseif(CMAKE_CURRENT_LIST_DIR MATCHES "/src/shell/[^/]+$")
        set(layer SHELL)
    else()
        message(FATAL_ERROR "${CMAKE_CURRENT_LIST_DIR} is in neither src/core nor src/shell")
    endif()
    foreach(file IN LISTS ARGN)
        set(path ${CMAKE_CURRENT_LIST_DIR}/${file})
        if(layer STREQUAL CORE)
            file(STRINGS ${path} shell_includes REGEX "^#include [\"<](shell/|Q)")
            if(shell_includes)
                message(FATAL_ERROR "${path} is core code and may not include Qt or "
                    "the shell: ${shell_includes}")
            endif()
        endif()
        set_property(GLOBAL APPEND PROPERTY QUILLMARK_${layer}_SOURCES ${path})
    endforeach()
endfunction()

# The areas whose sources make up the core and the shell.
set(QUILLMARK_SUBSYSTEMS
    core/common core/directorydb core/profiles core/fill core/capture core/browser
    core/update core/app
    shell/common shell/browser shell/profiles shell/update shell/capture shell/app)
