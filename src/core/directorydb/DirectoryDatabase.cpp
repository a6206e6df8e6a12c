#include "core/directorydb/DirectoryDatabase.h"

#include "core/common/MessageSink.h"
#include "core/common/Text.h"
#include "core/directorydb/DirectoryItemReader.h"
#include "core/directorydb/XmlLoader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <exception>
#include <fstream>
#include <optional>
#include <stdexcept>

namespace {

const char* const namesError = "Error while retrieving directory names";
const char* const submitPageError = "Error while GetDirectorySubmitPage";

// A query for the directories of one name. The name is bound to the XPath
// variable $name, never pasted into the query text, so any name, quotes and
// brackets included, selects exactly the directories that carry it.
class DirectoryQuery
{
public:
    DirectoryQuery(const char* path, const std::string& directoryName)
    {
        variables.add("name", pugi::xpath_type_string);
        variables.set("name", directoryName.c_str());
        query.emplace(path, &variables);
    }

    pugi::xpath_node_set Select(const pugi::xml_document& document) const
    {
        return query->evaluate_node_set(document);
    }

    // The value of the first selected attribute in document order.
    std::optional<std::string> SelectFirstValue(const pugi::xml_document& document) const
    {
        const pugi::xpath_node node = query->evaluate_node(document);
        if (!node.attribute())
            return std::nullopt;
        return std::string(node.attribute().value());
    }

private:
    pugi::xpath_variable_set variables;
    std::optional<pugi::xpath_query> query;
};

std::optional<std::string> Attribute(const pugi::xml_node& node, const char* name)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return std::nullopt;
    return std::string(attribute.value());
}

// Variables whose values hold the names of later variables multiply a
// text at every step: a few kilobytes of database could ask for gigabytes.
constexpr std::size_t largestVariableText = std::size_t(1) << 20;

// Variables lengthen the values the item reader gives: the items of one
// query stop at this many bytes of text with the variables applied too.
constexpr std::size_t largestItemsText = std::size_t(16) << 20;

// Occurrences of `token` in `text`, counted as ReplaceAll replaces them.
std::size_t CountOccurrences(const std::string& text, const std::string& token)
{
    std::size_t count = 0;
    for (std::size_t pos = text.find(token); pos != std::string::npos;
         pos = text.find(token, pos + token.size()))
        ++count;
    return count;
}

// A directory name is a line of the state file, where a line end cannot
// be written: a name that holds one, through a character reference, would
// come back from the file as another name and lose its marks. Every LF and
// CR in a name becomes a blank here, so the list, the queries and the marks
// all use the name the state file keeps. The queries read the directories
// of every top-level <r>, and so does this.
void NormaliseDirectoryNames(pugi::xml_document& document)
{
    for (pugi::xml_node root : document.children("r")) {
        for (pugi::xml_node directory : root.children("directory")) {
            pugi::xml_attribute name = directory.attribute("name");
            if (!name || !std::strpbrk(name.value(), "\r\n"))
                continue;
            std::string text = name.value();
            std::replace_if(
                text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
            name.set_value(text.c_str());
        }
    }
}

} // namespace

std::string ApplyVariables(std::string text, const VariableMap& map)
{
    for (const auto& [name, value] : map) {
        if (!name.empty() && value.size() > name.size()) {
            const std::size_t growth = value.size() - name.size();
            const std::size_t room =
                largestVariableText > text.size() ? largestVariableText - text.size() : 0;
            if (CountOccurrences(text, name) > room / growth)
                throw std::length_error("variables make the text longer than allowed");
        }
        ReplaceAll(text, name, value);
    }
    return text;
}

pugi::xml_node SelectCond(
    const pugi::xml_node& variable, const std::string& category, const std::string& subcategory)
{
    for (const pugi::xml_node cond : variable.children("cond")) {
        const std::optional<std::string> condCategory = Attribute(cond, "category");
        if (condCategory && *condCategory != category)
            continue;
        const std::optional<std::string> condSubcategory = Attribute(cond, "subcategory");
        if (condSubcategory && *condSubcategory != subcategory)
            continue;
        if (cond.attribute("value"))
            return cond;
    }
    return {};
}

DirectoryDatabase::DirectoryDatabase(MessageSink& messages)
    : messages(messages)
{
}

DirectoryDatabase::~DirectoryDatabase() = default;

bool DirectoryDatabase::LoadDatabase()
{
    const bool loaded = Load(databasePath);
    if (userDatabasePath.empty())
        return loaded;
    const bool userRead = LoadUser(userDatabasePath);
    // No file of the user's yet is the usual case, not a failure.
    return loaded && (userRead || !std::ifstream(userDatabasePath));
}

bool DirectoryDatabase::Load(const std::string& path, Result* outcome)
{
    userDocument.reset();
    return LoadInto(path, document, outcome);
}

bool DirectoryDatabase::LoadUser(const std::string& path, Result* outcome)
{
    const bool loaded = LoadInto(path, userDocument, outcome);
    if (!loaded)
        userDocument.reset();
    return loaded;
}

bool DirectoryDatabase::LoadInto(
    const std::string& path, std::unique_ptr<pugi::xml_document>& target, Result* outcome)
{
    target.reset();
    try {
        target = std::make_unique<pugi::xml_document>();
    } catch (const std::bad_alloc&) {
        messages.ShowMessage({"exception on load", "", MessageIcon::None});
        if (outcome)
            *outcome = Result::Failure("Out of memory");
        return false;
    }

    const XmlLoadResult result = LoadXmlFile(path, *target);
    if (result.status == XmlLoadResult::Status::OutOfMemory)
        messages.ShowMessage({"exception on load", "", MessageIcon::None});
    if (outcome)
        *outcome = result;
    if (result)
        NormaliseDirectoryNames(*target);
    return bool(result);
}

bool DirectoryDatabase::IsUserDirectory(const std::string& directoryName) const
{
    if (!userDocument)
        return false;
    const DirectoryQuery query("r/directory[@name=$name]", directoryName);
    return !query.Select(*userDocument).empty();
}

const pugi::xml_document& DirectoryDatabase::DocumentFor(const std::string& directoryName) const
{
    return IsUserDirectory(directoryName) ? *userDocument : *document;
}

bool DirectoryDatabase::GetDirectoryNames(std::vector<std::string>& names) const
{
    if (!document)
        return false;
    names.clear();
    try {
        const pugi::xpath_query query("r/directory/@name");
        for (const pugi::xpath_node& node : query.evaluate_node_set(*document))
            names.emplace_back(node.attribute().value());
        if (userDocument) {
            // A name both files hold keeps the maker's place in the list.
            const std::size_t makers = names.size();
            for (const pugi::xpath_node& node : query.evaluate_node_set(*userDocument)) {
                const std::string name = node.attribute().value();
                const auto end = names.begin() + std::ptrdiff_t(makers);
                if (std::find(names.begin(), end, name) == end)
                    names.push_back(name);
            }
        }
    } catch (const std::exception&) {
        messages.ShowMessage({namesError, "Error", MessageIcon::Error});
    }
    return true;
}

bool DirectoryDatabase::GetDirectoryVariables(const std::string& directoryName,
    const std::string& category, const std::string& subcategory, VariableMap& map) const
{
    if (!document)
        return true;
    const DirectoryQuery query("r/directory[@name=$name]/variable", directoryName);
    for (const pugi::xpath_node& node : query.Select(DocumentFor(directoryName))) {
        const pugi::xml_node variable = node.node();
        const std::optional<std::string> name = Attribute(variable, "name");
        if (!name)
            continue;

        const std::string value =
            SelectCond(variable, category, subcategory).attribute("value").value();
        if (name->empty() || value.empty()) {
            messages.ShowMessage({"error on variable", *name, MessageIcon::None});
            continue;
        }
        map.emplace(*name, value);
    }
    return true;
}

std::string DirectoryDatabase::GetDirectorySubmitPage(const std::string& directoryName,
    const std::string& category, const std::string& subcategory) const
{
    if (!document)
        return {};
    try {
        const DirectoryQuery query("r/directory[@name=$name]/@submiturl", directoryName);
        VariableMap map;
        GetDirectoryVariables(directoryName, category, subcategory, map);
        if (const auto address = query.SelectFirstValue(DocumentFor(directoryName)))
            return ApplyVariables(*address, map);
    } catch (const std::exception&) {
    }
    messages.ShowMessage({submitPageError, "Error", MessageIcon::Error});
    return {};
}

std::string DirectoryDatabase::GetDirectoryOnSubmit(const std::string& directoryName) const
{
    if (!document)
        return {};
    try {
        const DirectoryQuery query("r/directory[@name=$name]/@onsubmit", directoryName);
        if (const auto marker = query.SelectFirstValue(DocumentFor(directoryName)))
            return *marker;
    } catch (const std::exception&) {
    }
    messages.ShowMessage({namesError, "Error", MessageIcon::Error});
    return {};
}

bool DirectoryDatabase::GetDirectoryItems(const std::string& directoryName,
    const std::string& category, const std::string& subcategory,
    std::vector<DirectoryItem>& items) const
{
    if (!document)
        return false;
    try {
        const DirectoryQuery query("r/directory[@name=$name]/item", directoryName);
        VariableMap map;
        GetDirectoryVariables(directoryName, category, subcategory, map);

        // Each item is read on top of the one before it, across every
        // directory of the name.
        DirectoryItemReader reader;
        std::size_t itemsText = 0;
        for (const pugi::xpath_node& node : query.Select(DocumentFor(directoryName))) {
            DirectoryItem item = reader.Read(node.node());
            item.value = ApplyVariables(std::move(item.value), map);
            if (reader.TypeUnknown())
                messages.ShowMessage(
                    {"unsuported control type", directoryName, MessageIcon::Error});
            itemsText += item.name.size() + item.value.size();
            if (itemsText > largestItemsText)
                throw std::length_error("the items are larger than allowed");
            items.push_back(std::move(item));
        }
    } catch (const std::exception&) {
        messages.ShowMessage({submitPageError, directoryName, MessageIcon::Error});
    }
    return true;
}
