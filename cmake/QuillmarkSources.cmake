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
#
# The scripts the program puts into pages are JavaScript files of the core,
# named the same way: scripts/<name>.js is a part, scripts/contract.json the
# contract the parts and the C++ share. Word tables, words/<language>.txt,
# are data of the core read the same way. quillmark_embed_page_scripts
# makes them C++ for a target.
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
        if(layer STREQUAL CORE AND file MATCHES "^scripts/.*\\.js$")
            get_filename_component(area ${CMAKE_CURRENT_LIST_DIR} NAME)
            set_property(GLOBAL APPEND PROPERTY QUILLMARK_PAGE_SCRIPTS "${area}=${path}")
            continue()
        elseif(layer STREQUAL CORE AND file MATCHES "^words/.*\\.txt$")
            set_property(GLOBAL APPEND PROPERTY QUILLMARK_WORD_TABLES ${path})
            continue()
        elseif(layer STREQUAL CORE AND file STREQUAL "scripts/contract.json")
            set_property(GLOBAL PROPERTY QUILLMARK_SCRIPT_CONTRACT ${path})
            continue()
        endif()
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
    core/update core/app core/record
    shell/common shell/browser shell/profiles shell/update shell/capture shell/record shell/app)

# Embeds the page script parts and their contract in `target` as generated
# C++ (cmake/EmbedPageScripts.cmake), made again whenever a part or the
# contract changes: core/scripts/PageScriptParts.h and
# core/scripts/ScriptContract.h, on the target's public include path.
function(quillmark_embed_page_scripts target)
    get_property(parts GLOBAL PROPERTY QUILLMARK_PAGE_SCRIPTS)
    get_property(contract GLOBAL PROPERTY QUILLMARK_SCRIPT_CONTRACT)
    if(NOT parts OR NOT contract)
        message(FATAL_ERROR "No page script parts, or no contract, were named")
    endif()
    set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
    set(dir ${generated}/core/scripts)
    set(outputs ${dir}/PageScriptParts.h ${dir}/PageScriptParts.cpp ${dir}/ScriptContract.h)
    set(paths)
    foreach(part IN LISTS parts)
        string(REGEX REPLACE "^[^=]*=" "" path ${part})
        list(APPEND paths ${path})
    endforeach()
    string(REPLACE ";" "|" joined "${parts}")
    set(embed ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedPageScripts.cmake)
    file(MAKE_DIRECTORY ${dir})
    add_custom_command(OUTPUT ${outputs}
        COMMAND ${CMAKE_COMMAND} -DPARTS=${joined} -DCONTRACT=${contract} -DOUTPUT_DIR=${dir}
            -P ${embed}
        DEPENDS ${paths} ${contract} ${embed}
        COMMENT "Embedding the page scripts"
        VERBATIM)
    target_sources(${target} PRIVATE ${outputs})
    target_include_directories(${target} PUBLIC ${generated})

    # The word tables, core/words/WordTableTexts.h (cmake/EmbedWordTables.cmake).
    get_property(tables GLOBAL PROPERTY QUILLMARK_WORD_TABLES)
    if(tables)
        set(wordDir ${generated}/core/words)
        set(wordOutputs ${wordDir}/WordTableTexts.h ${wordDir}/WordTableTexts.cpp)
        string(REPLACE ";" "|" joinedTables "${tables}")
        set(embedWords ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/EmbedWordTables.cmake)
        file(MAKE_DIRECTORY ${wordDir})
        add_custom_command(OUTPUT ${wordOutputs}
            COMMAND ${CMAKE_COMMAND} -DTABLES=${joinedTables} -DOUTPUT_DIR=${wordDir}
                -P ${embedWords}
            DEPENDS ${tables} ${embedWords}
            COMMENT "Embedding the word tables"
            VERBATIM)
        target_sources(${target} PRIVATE ${wordOutputs})
    endif()
endfunction()
