#pragma once

#include "core/capture/FieldProposal.h"
#include "core/directorydb/UserDatabase.h"

#include <string>
#include <string_view>
#include <vector>

// One row of a directory being added or edited: a field of the page, or an
// item saved before that the page does not show, and what to write to it.
struct DraftRow
{
    FormField field; // for an item the page lacks: its name and index only
    bool onPage = true;
    ControlType type = ControlType::Edit; // what the item is saved as
    std::string value; // empty: the field is left alone
};

// A directory as the directory dialog shows it, before it is saved.
struct DirectoryDraft
{
    std::string name;
    std::string submitUrl;
    std::string onSubmit;
    std::vector<DraftRow> rows;
    // Variables the rows may name; only those some written value names are
    // saved.
    std::vector<VariableRecord> variables;
};

// A new directory for the page titled `title` at `url` with `fields`: the
// title with its blanks trimmed and collapsed as the name, the address, and
// for each field the value ProposeFieldValue proposes. A category list gets
// a variable of its own, "%NAME%" after the field's name in capitals.
DirectoryDraft ProposeDirectory(
    std::string_view title, const std::string& url, const std::vector<FormField>& fields);

// The saved directory `saved` shown on its page: a row for each field of
// `fields` with the value saved for its name and index (none when nothing
// was saved for it), then a row for each saved item the page lacks.
DirectoryDraft DraftOfDirectory(const DirectoryRecord& saved, const std::vector<FormField>& fields);

// What saving `draft` writes: the rows with a value, in row order, and the
// variables their values name.
DirectoryRecord RecordOfDraft(const DirectoryDraft& draft);
