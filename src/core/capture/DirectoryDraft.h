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
    // The variable proposed for a category list, even when the value is
    // left for the user to choose; empty for other rows.
    std::string variable;
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
// name DirectoryNameOf gives, the address, and for each field the value
// ProposeFieldValue proposes. A category list gets a variable of its own,
// "%NAME%" after the field's name in capitals.
DirectoryDraft ProposeDirectory(
    std::string_view title, const std::string& url, const std::vector<FormField>& fields);

// The name proposed for a directory whose page is titled `title` at `url`:
// the title with its blanks trimmed and collapsed, " [" (which the
// directory list keeps for its marks) made " - " and the "]" closing it
// dropped, cut to the longest name a database may hold; the address's host
// for a page without a title.
std::string DirectoryNameOf(std::string_view title, const std::string& url);

// The saved directory `saved` shown on its page: a row for each field of
// `fields` with the value saved for its name and index (none when nothing
// was saved for it), then a row for each saved item the page lacks.
DirectoryDraft DraftOfDirectory(const DirectoryRecord& saved, const std::vector<FormField>& fields);

// What saving `draft` writes: the rows with a value, in row order, and the
// variables their values name.
DirectoryRecord RecordOfDraft(const DirectoryDraft& draft);
