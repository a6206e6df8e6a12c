#include "core/app/DataFolder.h"

#include <filesystem>

namespace {

std::filesystem::path WithoutTrailingSeparator(const std::string& folder)
{
    std::filesystem::path path(folder);
    return path.has_filename() || !path.has_relative_path() ? path : path.parent_path();
}

} // namespace

std::string InstalledDatabasePath(const std::string& programFolder)
{
    const std::filesystem::path folder = WithoutTrailingSeparator(programFolder);
    if (folder.filename() != "bin")
        return {};
    return (folder.parent_path() / "share" / "quillmark" / "dirdata.xml").string();
}

DataFolderChoice ChooseDataFolder(const DataFolderFacts& facts)
{
    const bool installed =
        facts.installedDatabaseExists && !InstalledDatabasePath(facts.programFolder).empty();
    DataFolderChoice choice;
    if (!facts.explicitFolder.empty())
        choice.folder = facts.explicitFolder;
    else if (!installed && facts.programFolderWritable)
        return {facts.programFolder, {}};
    else
        choice.folder = facts.userFolder;
    choice.seedDatabase = installed
        ? InstalledDatabasePath(facts.programFolder)
        : (WithoutTrailingSeparator(facts.programFolder) / "dirdata.xml").string();
    return choice;
}
