#pragma once

#include "core/directorydb/DirectoryItem.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pugi {
class xml_document;
class xml_node;
} // namespace pugi
class MessageSink;
class Result;

// Variable names and their values, ordered by name in ascending byte order:
// the order in which variables are applied.
using VariableMap = std::map<std::string, std::string>;

// Replaces the name of every variable in `text` by its value, the variables
// taken in the map's order, each working on the text the ones before it
// produced. Throws std::length_error rather than let a replacement grow the
// text past 1 MiB.
std::string ApplyVariables(std::string text, const VariableMap& map);

// The cond that gives a <variable> element its value for a profile: the
// first child cond whose category and subcategory, where it has them, equal
// the profile's and that has a value attribute, empty or not. An empty node
// when no cond does; its value then reads as empty text.
pugi::xml_node SelectCond(
    const pugi::xml_node& variable, const std::string& category, const std::string& subcategory);

// The loaded directory database and the questions the program asks of it:
// the maker's file and, read after it by the same rules, the user's own
// file. The user's directories follow the maker's in the list; a name the
// user's file holds is answered from that file alone, every query alike.
// Every query walks the documents afresh; nothing is cached. Problems are
// reported through the message sink and give an empty result.
class DirectoryDatabase
{
public:
    explicit DirectoryDatabase(MessageSink& messages);
    ~DirectoryDatabase();

    DirectoryDatabase(const DirectoryDatabase&) = delete;
    DirectoryDatabase& operator=(const DirectoryDatabase&) = delete;

    // The file LoadDatabase reads: "dirdata.xml" beside the executable.
    void SetDatabasePath(std::string path) { databasePath = std::move(path); }
    const std::string& DatabasePath() const { return databasePath; }
    // The user's own file, "mydirdata.xml" beside the maker's; none when
    // empty.
    void SetUserDatabasePath(std::string path) { userDatabasePath = std::move(path); }
    const std::string& UserDatabasePath() const { return userDatabasePath; }

    // Loads the maker's file, then the user's. A missing user's file is
    // normal; false when either file is there but cannot be read.
    bool LoadDatabase();
    // Replaces the document by the one in `path` and drops the user's. A
    // missing or malformed file leaves an empty document and returns false
    // without a message; `outcome`, when given, receives the result with the
    // reason.
    bool Load(const std::string& path, Result* outcome = nullptr);
    // Replaces the user's document by the one in `path`, by the same rules.
    // A missing or malformed file leaves none.
    bool LoadUser(const std::string& path, Result* outcome = nullptr);
    bool HasDocument() const { return document != nullptr; }
    // Whether the user's own file holds a directory named `directoryName`.
    bool IsUserDirectory(const std::string& directoryName) const;

    bool GetDirectoryNames(std::vector<std::string>& names) const;
    std::string GetDirectorySubmitPage(const std::string& directoryName,
        const std::string& category, const std::string& subcategory) const;
    std::string GetDirectoryOnSubmit(const std::string& directoryName) const;
    bool GetDirectoryItems(const std::string& directoryName, const std::string& category,
        const std::string& subcategory, std::vector<DirectoryItem>& items) const;
    bool GetDirectoryVariables(const std::string& directoryName, const std::string& category,
        const std::string& subcategory, VariableMap& map) const;

private:
    // The document that answers for `directoryName`: the user's when it
    // holds a directory of that name, else the maker's.
    const pugi::xml_document& DocumentFor(const std::string& directoryName) const;
    bool LoadInto(
        const std::string& path, std::unique_ptr<pugi::xml_document>& target, Result* outcome);

    MessageSink& messages;
    std::string databasePath = "dirdata.xml";
    std::string userDatabasePath;
    std::unique_ptr<pugi::xml_document> document;
    std::unique_ptr<pugi::xml_document> userDocument;
};
