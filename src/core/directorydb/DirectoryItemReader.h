#pragma once

#include "core/directorydb/DirectoryItem.h"

#include <cstddef>

namespace pugi {
class xml_node;
}

// Reads the <item> elements of a directory in turn, as the database means
// them: each item starts as the item read before it, and the attributes it
// has replace those values. An attribute an item lacks thus keeps the value
// of the item before it (stored databases rely on that), and so does a type
// that names no control type; the first item starts empty, an edit field of
// index 0. Values are read as written, variables not applied. Filling a page
// and editing a directory both read items through this class, so an entry
// fills as it edits.
class DirectoryItemReader
{
public:
    // The item `item` describes, read on top of the one read before it.
    // Throws std::length_error once the items read hold more than 16 MiB of
    // text together: an item without a value repeats the one before it, so a
    // short file could otherwise ask for a large value a great many times.
    const DirectoryItem& Read(const pugi::xml_node& item);

    // Whether the item read last has a type that names no control type.
    bool TypeUnknown() const { return typeUnknown; }

private:
    DirectoryItem working;
    bool typeUnknown = false;
    std::size_t textRead = 0;
};
