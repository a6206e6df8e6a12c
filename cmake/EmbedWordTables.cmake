# Turns the word tables (src/core/<area>/words/<language>.txt) into C++ at
# build time:
#
#   WordTableTexts.h/.cpp  wordTableTexts, one {language, text} entry a file,
#                          in the order of the language names.
#
# Run as cmake -DTABLES=<path>|... -DOUTPUT_DIR=<dir> -P EmbedWordTables.cmake
# (quillmark_embed_page_scripts does).
cmake_minimum_required(VERSION 3.22)

set(notice "// Generated from the word tables by cmake/EmbedWordTables.cmake.")
set(delimiter "QMWT")
string(REPLACE "|" ";" tables "${TABLES}")
list(SORT tables)
list(LENGTH tables count)

set(header "#pragma once\n\n${notice}\n\n#include <array>\n#include <string_view>\n\n")
string(APPEND header "struct WordTableText\n{\n    std::string_view language;\n    std::string_view text;\n};\n\n")
string(APPEND header "extern const std::array<WordTableText, ${count}> wordTableTexts;\n")
set(source "${notice}\n\n#include \"core/words/WordTableTexts.h\"\n\n")
string(APPEND source "const std::array<WordTableText, ${count}> wordTableTexts = {{\n")
foreach(path IN LISTS tables)
    if(NOT path MATCHES "/words/([a-z][a-z])\\.txt$")
        message(FATAL_ERROR "A word table must be words/<two-letter language>.txt: ${path}")
    endif()
    set(language "${CMAKE_MATCH_1}")
    file(READ "${path}" text)
    string(FIND "${text}" ")${delimiter}\"" clash)
    if(NOT clash EQUAL -1)
        message(FATAL_ERROR "${path} holds )${delimiter}\", which ends the C++ string")
    endif()
    string(APPEND source "    {\"${language}\", R\"${delimiter}(${text})${delimiter}\"},\n")
endforeach()
string(APPEND source "}};\n")

file(WRITE "${OUTPUT_DIR}/WordTableTexts.h" "${header}")
file(WRITE "${OUTPUT_DIR}/WordTableTexts.cpp" "${source}")
