#include "core/directorydb/DatabaseCheck.h"

#include "core/common/Text.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/directorydb/DirectoryItem.h"
#include "core/directorydb/DirectoryListEntry.h"
#include "core/profiles/Placeholders.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>

namespace {

// Directory names longer than this do not fit the program's queries.
constexpr std::size_t maxDirectoryNameLength = 223;

// The number of characters in UTF-8 text: bytes that do not continue one.
std::size_t CharacterCount(const std::string& text)
{
    return std::count_if(text.begin(), text.end(),
        [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

// Whether the name comes back whole from every entry the list can show for
// the directory. This window keeps names apart from their entries, but
// earlier versions, which read the same files, cut the entry back to the
// name.
bool IsSelectable(const std::string& name)
{
    for (const bool hasProfile : {false, true}) {
        for (const bool sent : {false, true}) {
            if (DirectoryNameFromEntry(DirectoryListEntry(name, hasProfile, sent)) != name)
                return false;
        }
    }
    return true;
}

// The control type words, quoted, as a list for people: "a", "b" or "c".
std::string ControlTypeWords()
{
    std::string words;
    const std::size_t count = std::size(controlTypes);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0)
            words += i + 1 < count ? ", " : " or ";
        words += std::string("\"") + ControlTypeName(controlTypes[i]) + "\"";
    }
    return words;
}

// Digits only, within the range an index can hold.
bool IsPlainIndex(const std::string& text)
{
    if (text.empty() || text.size() > 10)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return std::stoll(text) <= 2147483647LL;
}

// Text no category or subcategory of the variable's conds holds: longer
// than all of them.
std::string TextNoCondNames(const pugi::xml_node& variable)
{
    std::size_t longest = 0;
    for (const pugi::xml_node cond : variable.children("cond")) {
        for (const char* attribute : {"category", "subcategory"})
            longest = std::max(longest, std::strlen(cond.attribute(attribute).value()));
    }
    return std::string(longest + 1, '-');
}

// The first "#word#" of `value` (lower-case letters between two "#") that
// is no placeholder; empty when there is none.
std::string UnknownPlaceholder(const std::string& value)
{
    for (std::size_t start = value.find('#'); start != std::string::npos;) {
        std::size_t end = start + 1;
        while (end < value.size() && value[end] >= 'a' && value[end] <= 'z')
            ++end;
        if (end < value.size() && value[end] == '#' && end > start + 1) {
            const std::string token = value.substr(start, end - start + 1);
            if (std::none_of(placeholderNames.begin(), placeholderNames.end(),
                    [&](const PlaceholderName& name) { return token == name.token; }))
                return token;
        }
        start = value.find('#', end);
    }
    return {};
}

// Walks a loaded document and collects the findings.
class DatabaseChecker
{
public:
    std::vector<std::string> Check(const pugi::xml_document& document)
    {
        const pugi::xml_node root = document.document_element();
        if (std::string(root.name()) != "r") {
            Report("The document element is <" + std::string(root.name()) +
                ">, not <r>: no directory is read");
            return findings;
        }

        const auto elements = std::count_if(document.begin(), document.end(),
            [](const pugi::xml_node& node) { return node.type() == pugi::node_element; });
        if (elements > 1)
            Report("The document holds " + std::to_string(elements) +
                " top-level elements, where one <r> belongs: only the first is checked");

        CountNames(root);
        int position = 0;
        for (const pugi::xml_node directory : root.children("directory"))
            CheckDirectory(directory, ++position);
        return findings;
    }

private:
    void Report(std::string finding) { findings.push_back(std::move(finding)); }

    void CountNames(const pugi::xml_node& root)
    {
        for (const pugi::xml_node directory : root.children("directory")) {
            if (const pugi::xml_attribute name = directory.attribute("name"))
                ++nameCounts[name.value()];
        }
    }

    // How findings name a directory: by its name, by its position as well
    // when the name is shared, by its position alone when it has none.
    std::string Label(const pugi::xml_node& directory, int position) const
    {
        const std::string number = "#" + std::to_string(position);
        const pugi::xml_attribute name = directory.attribute("name");
        if (!name)
            return "Directory " + number + " (no name)";
        if (*name.value() == '\0')
            return "Directory " + number + " (empty name)";
        const std::string quoted = "Directory \"" + std::string(name.value()) + "\"";
        if (nameCounts.at(name.value()) > 1)
            return quoted + " (" + number + ")";
        return quoted;
    }

    void CheckDirectory(const pugi::xml_node& directory, int position)
    {
        const std::string label = Label(directory, position);
        CheckName(directory, position, label);
        for (const char* attribute : {"submiturl", "onsubmit"}) {
            if (!directory.attribute(attribute))
                Report(label + ": no \"" + attribute + "\" attribute");
        }

        int itemNumber = 0;
        for (const pugi::xml_node item : directory.children("item"))
            CheckItem(item, ++itemNumber, label);
        int variableNumber = 0;
        for (const pugi::xml_node variable : directory.children("variable"))
            CheckVariable(variable, ++variableNumber, label);
    }

    void CheckName(const pugi::xml_node& directory, int position, const std::string& label)
    {
        const pugi::xml_attribute attribute = directory.attribute("name");
        if (!attribute) {
            Report(label + ": no \"name\" attribute, so it is never listed");
            return;
        }
        const std::string name = attribute.value();
        if (name.empty()) {
            Report(label + ": the name is empty");
            return;
        }
        const auto first = firstPositions.emplace(name, position);
        if (!first.second) {
            Report(label + ": the name is already used by directory #" +
                std::to_string(first.first->second));
        }
        if (!IsSelectable(name))
            Report(label + ": the name contains \" [\", so the main window cannot select it");
        if (CharacterCount(name) > maxDirectoryNameLength) {
            Report(label + ": the name is longer than " + std::to_string(maxDirectoryNameLength) +
                " characters");
        }
    }

    void CheckItem(const pugi::xml_node& item, int number, const std::string& label)
    {
        const std::string itemLabel = label + ": item " + std::to_string(number);
        for (const char* attribute : {"name", "index", "type", "value"}) {
            if (!item.attribute(attribute))
                Report(itemLabel + " has no \"" + attribute + "\" attribute");
        }

        if (const pugi::xml_attribute type = item.attribute("type")) {
            if (!ParseControlType(type.value())) {
                Report(itemLabel + " has the unsupported type \"" + type.value() + "\" (use " +
                    ControlTypeWords() + ")");
            }
        }

        if (const std::string token = UnknownPlaceholder(item.attribute("value").value());
            !token.empty()) {
            Report(itemLabel + " holds \"" + token +
                "\", which is no placeholder, so it is written as it stands");
        }

        if (const pugi::xml_attribute index = item.attribute("index")) {
            const std::string text = index.value();
            if (!IsPlainIndex(text)) {
                Report(itemLabel + " has the index \"" + text + "\", which reads as " +
                    std::to_string(ParseLeadingInt(text)));
            }
        }
    }

    void CheckVariable(const pugi::xml_node& variable, int number, const std::string& label)
    {
        const pugi::xml_attribute nameAttribute = variable.attribute("name");
        if (!nameAttribute) {
            Report(label + ": variable " + std::to_string(number) +
                " has no \"name\" attribute and is ignored");
            return;
        }
        const std::string name = nameAttribute.value();
        if (name.empty()) {
            Report(label + ": variable " + std::to_string(number) + " has an empty name");
            return;
        }

        // The first cond without category and subcategory that has a value
        // ends the search for every profile that got that far. Before it, a
        // cond matters when some profile gets its value: the profile that
        // has the cond's category and subcategory where it names them, and
        // text no cond names where it does not.
        const std::string variableLabel = label + ": variable \"" + name + "\"";
        const std::string unnamed = TextNoCondNames(variable);
        int condNumber = 0;
        for (const pugi::xml_node cond : variable.children("cond")) {
            ++condNumber;
            const std::string condLabel = variableLabel + " cond " + std::to_string(condNumber);
            const pugi::xml_attribute value = cond.attribute("value");
            if (!value) {
                Report(condLabel + " has no \"value\" attribute and is never chosen");
                continue;
            }
            const bool empty = *value.value() == '\0';
            const pugi::xml_attribute category = cond.attribute("category");
            const pugi::xml_attribute subcategory = cond.attribute("subcategory");
            if (!category && !subcategory) {
                if (empty) {
                    Report(condLabel +
                        " gives every remaining profile an empty value, so they"
                        " get \"error on variable\"");
                }
                return;
            }
            const bool chosen = SelectCond(variable, category ? category.value() : unnamed,
                                    subcategory ? subcategory.value() : unnamed) == cond;
            if (empty && chosen) {
                Report(condLabel +
                    " has an empty value, so the profiles it applies to get"
                    " \"error on variable\"");
            }
        }
        Report(variableLabel +
            " has no cond without \"category\" and \"subcategory\" that gives a value, so"
            " some profiles get \"error on variable\"");
    }

    std::vector<std::string> findings;
    std::map<std::string, int> nameCounts;
    std::map<std::string, int> firstPositions;
};

} // namespace

std::vector<std::string> CheckDatabase(const pugi::xml_document& document)
{
    return DatabaseChecker().Check(document);
}
