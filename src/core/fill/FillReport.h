#pragma once

#include <optional>
#include <string>
#include <vector>

// What one fill of a page did: of the plan's `items`, how many found their
// element and wrote it, and the names of the items whose element the page
// lacks, in plan order, each once. `focused` names the field the fill gave
// the focus to, the one the user fills in next: its name, else its id
// (empty when it has neither); none when the form has no such field.
struct FillReport
{
    int written = 0;
    int items = 0;
    std::vector<std::string> missing;
    std::optional<std::string> focused = std::nullopt;

    bool operator==(const FillReport& other) const
    {
        return written == other.written && items == other.items && missing == other.missing &&
            focused == other.focused;
    }
};

// The line the main window shows after a fill: "Filled 9 of 10 fields",
// followed by ", not found: " and the missing names joined by ", " when
// there are any.
std::string FillReportText(const FillReport& report);
