# Turns the page script parts and their contract into C++, at build time:
#
#   PageScriptParts.h/.cpp  one std::string_view constant a part, named after
#                           its file (walk.js: walk) in the namespace of its
#                           area (src/core/fill/scripts: fillScripts);
#   ScriptContract.h        the contract's values as constants, a namespace
#                           a group (contract::hook::object), and the whole
#                           contract as the JSON text contract::json.
#
# Run as cmake -DPARTS=<area>=<path>|... -DCONTRACT=<path> -DOUTPUT_DIR=<dir>
# -P EmbedPageScripts.cmake (quillmark_embed_page_scripts does).
cmake_minimum_required(VERSION 3.22)

set(notice "// Generated from the page scripts by cmake/EmbedPageScripts.cmake.")
set(delimiter "QMJS")
string(REPLACE "|" ";" parts "${PARTS}")

set(header "#pragma once\n\n${notice}\n\n#include <string_view>\n")
set(source "${notice}\n\n#include \"core/scripts/PageScriptParts.h\"\n")
set(area "")
list(SORT parts)
foreach(part IN LISTS parts)
    string(REGEX MATCH "^([a-z]+)=(.*/([^/]+)/scripts/([A-Za-z][A-Za-z0-9]*)\\.js)$" matched "${part}")
    if(NOT matched)
        message(FATAL_ERROR "A page script part must be src/core/<area>/scripts/<name>.js, "
            "its name a C++ identifier: ${part}")
    endif()
    set(path "${CMAKE_MATCH_2}")
    set(name "${CMAKE_MATCH_4}")
    if(NOT CMAKE_MATCH_1 STREQUAL area)
        if(area)
            string(APPEND header "} // namespace ${area}Scripts\n")
            string(APPEND source "} // namespace ${area}Scripts\n")
        endif()
        set(area "${CMAKE_MATCH_1}")
        string(APPEND header "\nnamespace ${area}Scripts {\n")
        string(APPEND source "\nnamespace ${area}Scripts {\n")
    endif()
    file(READ "${path}" text)
    string(FIND "${text}" ")${delimiter}\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${path} holds )${delimiter}\", which ends the C++ string")
    endif()
    string(APPEND header "extern const std::string_view ${name};\n")
    string(APPEND source "const std::string_view ${name} = R\"${delimiter}(// ${area}/scripts/${name}.js\n${text})${delimiter}\";\n")
endforeach()
if(area)
    string(APPEND header "} // namespace ${area}Scripts\n")
    string(APPEND source "} // namespace ${area}Scripts\n")
endif()

file(READ "${CONTRACT}" json)
string(REGEX REPLACE "^.*/src/" "" contractName "${CONTRACT}")
set(contract "#pragma once\n\n${notice}\n// Its source: src/${contractName}\n\n#include <cstdint>\n#include <string_view>\n")
string(JSON groups LENGTH "${json}")
math(EXPR last "${groups} - 1")
foreach(g RANGE ${last})
    string(JSON group MEMBER "${json}" ${g})
    string(JSON members LENGTH "${json}" ${group})
    math(EXPR lastMember "${members} - 1")
    string(APPEND contract "\nnamespace contract::${group} {\n")
    foreach(m RANGE ${lastMember})
        string(JSON member MEMBER "${json}" ${group} ${m})
        string(JSON type TYPE "${json}" ${group} ${member})
        string(JSON value GET "${json}" ${group} ${member})
        if(type STREQUAL "NUMBER")
            string(APPEND contract "inline constexpr std::int32_t ${member} = ${value};\n")
        elseif(type STREQUAL "STRING" AND value MATCHES "^[A-Za-z0-9_ ]*$")
            string(APPEND contract "inline constexpr std::string_view ${member} = \"${value}\";\n")
        else()
            message(FATAL_ERROR "${CONTRACT}: ${group}.${member} must be a number or a plain word")
        endif()
    endforeach()
    string(APPEND contract "} // namespace contract::${group}\n")
endforeach()
# The contract as the scripts take it, on one line.
string(REGEX REPLACE "\n *" "" line "${json}")
string(APPEND contract "\nnamespace contract {\ninline constexpr std::string_view json = R\"${delimiter}(${line})${delimiter}\";\n}\n")

file(WRITE "${OUTPUT_DIR}/PageScriptParts.h" "${header}")
file(WRITE "${OUTPUT_DIR}/PageScriptParts.cpp" "${source}")
file(WRITE "${OUTPUT_DIR}/ScriptContract.h" "${contract}")
