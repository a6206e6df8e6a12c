#include "core/directorydb/UserDatabase.h"

#include "core/common/AtomicFile.h"
#include "core/directorydb/DatabaseCheck.h"
#include "core/directorydb/DirectoryItemReader.h"
#include "core/directorydb/XmlLoader.h"

#include <pugixml.hpp>

#include <cstring>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>

namespace {

// The user's database keeps its permissions; a new one is readable by all,
// like the maker's.
unsigned PermissionsOf(const std::string& path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    return 0644;
}

bool Exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// Reads the user's database, or starts an empty one when there is no file
// yet. A file that is there but cannot be read is never overwritten.
Result ReadUserDatabase(const std::string& path, pugi::xml_document& document)
{
    if (!Exists(path)) {
        document.append_child("r");
        return {};
    }
    const XmlLoadResult loaded = LoadXmlFile(path, document);
    if (!loaded)
        return Result::Failure(path + ": " + loaded.Reason());
    if (!document.child("r"))
        return Result::Failure(path + ": the document element is not <r>");
    return {};
}

// Removes the directories named `name` from the first <r>; the number
// removed.
int RemoveDirectories(pugi::xml_node root, const std::string& name)
{
    int removed = 0;
    for (pugi::xml_node directory = root.child("directory"); directory;) {
        const pugi::xml_node next = directory.next_sibling("directory");
        if (name == directory.attribute("name").value()) {
            root.remove_child(directory);
            ++removed;
        }
        directory = next;
    }
    return removed;
}

void WriteDirectory(pugi::xml_node directory, const DirectoryRecord& record)
{
    directory.append_attribute("name") = record.name.c_str();
    directory.append_attribute("submiturl") = record.submitUrl.c_str();
    directory.append_attribute("onsubmit") = record.onSubmit.c_str();
    for (const VariableRecord& variable : record.variables) {
        pugi::xml_node node = directory.append_child("variable");
        node.append_attribute("name") = variable.name.c_str();
        for (const CondRecord& cond : variable.conds) {
            pugi::xml_node condNode = node.append_child("cond");
            if (cond.category)
                condNode.append_attribute("category") = cond.category->c_str();
            if (cond.subcategory)
                condNode.append_attribute("subcategory") = cond.subcategory->c_str();
            condNode.append_attribute("value") = cond.value.c_str();
        }
    }
    for (const DirectoryItem& item : record.items) {
        pugi::xml_node node = directory.append_child("item");
        node.append_attribute("name") = item.name.c_str();
        node.append_attribute("index") = item.index;
        node.append_attribute("type") = ControlTypeName(item.type);
        node.append_attribute("value") = item.value.c_str();
    }
}

// Text that an attribute cannot carry through the file: a NUL ends it.
bool HoldsNul(const DirectoryRecord& record)
{
    auto nul = [](const std::string& text) { return text.find('\0') != std::string::npos; };
    if (nul(record.name) || nul(record.submitUrl) || nul(record.onSubmit))
        return true;
    for (const DirectoryItem& item : record.items) {
        if (nul(item.name) || nul(item.value))
            return true;
    }
    for (const VariableRecord& variable : record.variables) {
        if (nul(variable.name))
            return true;
        for (const CondRecord& cond : variable.conds) {
            if (nul(cond.category.value_or("")) || nul(cond.subcategory.value_or("")) ||
                nul(cond.value))
                return true;
        }
    }
    return false;
}

// Writes `document` to `path` once the program would read the bytes back
// as meant; otherwise writes nothing and says why.
Result WriteChecked(const std::string& path, const pugi::xml_document& document)
{
    std::ostringstream out;
    document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    const std::string bytes = out.str();

    pugi::xml_document reread;
    const XmlLoadResult loaded = LoadXmlBuffer(bytes.data(), bytes.size(), reread);
    if (!loaded)
        return Result::Failure("The directory cannot be written: " + loaded.Reason());
    const std::vector<std::string> findings = CheckDatabase(reread);
    if (!findings.empty())
        return Result::Failure(findings.front());
    return WriteFileAtomically(path, bytes, PermissionsOf(path));
}

// Writes `record` in one step in the place of the first directory named
// `oldName`, or of the record's name when there is no old name, or else at
// the end; every other directory of either name goes. An old name the file
// does not hold fails.
Result PutUserDirectory(
    const std::string& path, const std::string* oldName, const DirectoryRecord& record)
{
    const std::string& placeName = oldName ? *oldName : record.name;
    // The list shows each name on one line, and the state file keeps it as
    // one: a line end would come back as another name.
    if (record.name.find_first_of("\r\n") != std::string::npos)
        return Result::Failure("The name contains a line break");
    if (HoldsNul(record))
        return Result::Failure("A text contains a NUL character");

    pugi::xml_document document;
    if (Result read = ReadUserDatabase(path, document); !read)
        return read;
    pugi::xml_node root = document.child("r");
    pugi::xml_node following = root.find_child_by_attribute("directory", "name", placeName.c_str());
    if (!following && oldName)
        return Result::Failure("No directory \"" + placeName + "\" in " + path);
    const auto replaced = [&](const pugi::xml_node& directory) {
        const char* name = directory.attribute("name").value();
        return placeName == name || record.name == name;
    };
    while (following && replaced(following))
        following = following.next_sibling("directory");
    RemoveDirectories(root, placeName);
    RemoveDirectories(root, record.name);
    WriteDirectory(following ? root.insert_child_before("directory", following)
                             : root.append_child("directory"),
        record);
    return WriteChecked(path, document);
}

} // namespace

Result SaveUserDirectory(const std::string& path, const DirectoryRecord& record)
{
    return PutUserDirectory(path, nullptr, record);
}

Result ReplaceUserDirectory(
    const std::string& path, const std::string& oldName, const DirectoryRecord& record)
{
    return PutUserDirectory(path, &oldName, record);
}

std::optional<DirectoryRecord> ReadUserDirectory(const std::string& path, const std::string& name)
{
    pugi::xml_document document;
    if (!Exists(path) || !ReadUserDatabase(path, document))
        return std::nullopt;
    const pugi::xml_node directory =
        document.child("r").find_child_by_attribute("directory", "name", name.c_str());
    if (!directory)
        return std::nullopt;

    DirectoryRecord record;
    record.name = name;
    record.submitUrl = directory.attribute("submiturl").value();
    record.onSubmit = directory.attribute("onsubmit").value();
    for (const pugi::xml_node variable : directory.children("variable")) {
        VariableRecord& added = record.variables.emplace_back();
        added.name = variable.attribute("name").value();
        for (const pugi::xml_node cond : variable.children("cond")) {
            CondRecord& condRecord = added.conds.emplace_back();
            if (const pugi::xml_attribute category = cond.attribute("category"))
                condRecord.category = category.value();
            if (const pugi::xml_attribute subcategory = cond.attribute("subcategory"))
                condRecord.subcategory = subcategory.value();
            condRecord.value = cond.attribute("value").value();
        }
    }
    try {
        DirectoryItemReader reader;
        for (const pugi::xml_node item : directory.children("item"))
            record.items.push_back(reader.Read(item));
    } catch (const std::length_error&) {
        return std::nullopt;
    }
    return record;
}

Result RemoveUserDirectory(const std::string& path, const std::string& name)
{
    pugi::xml_document document;
    if (!Exists(path))
        return Result::Failure("No directory \"" + name + "\" in " + path);
    if (Result read = ReadUserDatabase(path, document); !read)
        return read;
    if (RemoveDirectories(document.child("r"), name) == 0)
        return Result::Failure("No directory \"" + name + "\" in " + path);
    return WriteChecked(path, document);
}
