#pragma once

#include "core/common/Result.h"
#include "core/directorydb/DirectoryItem.h"

#include <optional>
#include <string>
#include <vector>

// One candidate value of a variable and the profiles it applies to; a
// category or subcategory it lacks applies to every profile.
struct CondRecord
{
    std::optional<std::string> category;
    std::optional<std::string> subcategory;
    std::string value;
};

// A named text whose value depends on the profile's category.
struct VariableRecord
{
    std::string name;
    std::vector<CondRecord> conds;
};

// Everything the database holds about one directory, as the user's own
// database writes it.
struct DirectoryRecord
{
    std::string name;
    std::string submitUrl;
    std::string onSubmit;
    std::vector<DirectoryItem> items; // written with every attribute, in order
    std::vector<VariableRecord> variables;
};

// Adds `record` to the user's database at `path`, in the place of the first
// directory of the same name there (removing any others of that name) or
// else at the end, and writes the file in one step. A missing file
// is started afresh. Nothing is written, and the result says why, when the
// file there cannot be read as a database or when the file would not be
// read as meant: a name the list cannot show or select, a variable without
// a value for every profile, and the like.
Result SaveUserDirectory(const std::string& path, const DirectoryRecord& record);

// Replaces the directory named `oldName` in the user's database at `path`
// by `record`, which may carry another name, in one write: the record takes
// the place of the first directory named `oldName`, and every other
// directory of either name goes, as a save removes the others of its name.
// Refused, the file left as it is, for the reasons a save is refused and
// when the file holds no directory named `oldName`.
Result ReplaceUserDirectory(
    const std::string& path, const std::string& oldName, const DirectoryRecord& record);

// The first directory named `name` in the user's database at `path`, as it
// is written there, its items read as a fill reads them (DirectoryItemReader);
// none when the file or the directory is missing or the file cannot be read.
std::optional<DirectoryRecord> ReadUserDirectory(const std::string& path, const std::string& name);

// Removes every directory named `name` from the user's database at `path`
// and writes the file in one step. A name the file does not hold fails.
Result RemoveUserDirectory(const std::string& path, const std::string& name);
