#pragma once

#include <string>
#include <vector>

namespace pugi {
class xml_document;
}

// What the author of a directory database should fix, one line of text per
// finding, in document order; none for a document the program reads as
// meant. Judged by the program's own rules: the directories the main window
// can list and select, the attributes each query reads, the control types
// it fills, and the cond it takes for each profile. Only direct children
// count at each level, as in the queries.
std::vector<std::string> CheckDatabase(const pugi::xml_document& document);
