#include "tools/DbTool.h"

#include "common/Json.h"
#include "common/MessageLog.h"
#include "common/Text.h"
#include "directorydb/DirectoryDatabase.h"
#include "directorydb/XmlLoader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <system_error>

namespace {

const char* const usageText =
    "Usage: quillmark-db COMMAND FILE [ARGUMENTS]\n"
    "Look into a directory database (dirdata.xml) the way Quillmark does.\n"
    "\n"
    "Commands:\n"
    "  list FILE        print the directory names, one per line\n"
    "  show FILE NAME [--category C] [--subcategory S]\n"
    "                   print, as JSON, what Quillmark reads for the\n"
    "                   directory NAME and the messages it shows\n"
    "  check FILE       print what an author should fix; exit 1 when\n"
    "                   something was found, 0 when the file is clean\n"
    "\n"
    "Exit status: 0 success, 1 findings of check, 2 usage errors and files\n"
    "that cannot be loaded.\n";

// Directory names longer than this do not fit the program's queries.
constexpr std::size_t maxDirectoryNameLength = 223;

constexpr int exitOk = 0;
constexpr int exitFindings = 1;
constexpr int exitError = 2;

// A command line taken apart: the command, its operands and its options.
struct CommandLine
{
    std::string command;
    std::vector<std::string> operands;
    std::optional<std::string> category;
    std::optional<std::string> subcategory;
};

struct CommandInfo
{
    const char* name;
    std::size_t operandCount;
    bool takesProfileOptions; // --category and --subcategory
    const char* operandsText; // for messages
};

const CommandInfo commands[] = {
    {"list", 1, false, "FILE"},
    {"show", 2, true, "FILE NAME"},
    {"check", 1, false, "FILE"},
};

const CommandInfo* FindCommand(const std::string& name)
{
    for (const CommandInfo& command : commands) {
        if (name == command.name)
            return &command;
    }
    return nullptr;
}

// Parses the arguments after the command word. Options may stand before,
// between or after the operands, as "--category C" or "--category=C"; "--"
// makes every argument after it an operand.
bool ParseArguments(const CommandInfo& info, const std::vector<std::string>& args,
    CommandLine& line, std::string& error)
{
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            line.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        const std::size_t equals = arg.find('=');
        const std::string option = arg.substr(0, equals);
        std::optional<std::string>* target = nullptr;
        if (info.takesProfileOptions && option == "--category")
            target = &line.category;
        else if (info.takesProfileOptions && option == "--subcategory")
            target = &line.subcategory;
        if (!target) {
            error = "unknown option '" + option + "' for '" + info.name + "'";
            return false;
        }
        if (*target) {
            error = "option '" + option + "' given twice";
            return false;
        }
        if (equals != std::string::npos) {
            *target = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            *target = args[++i];
        } else {
            error = "option '" + option + "' needs a value";
            return false;
        }
    }

    if (line.operands.size() != info.operandCount) {
        error = std::string(line.operands.size() < info.operandCount ? "missing" : "too many") +
            " arguments: usage is 'quillmark-db " + info.name + " " + info.operandsText + "'";
        return false;
    }
    return true;
}

// The number of characters in UTF-8 text: bytes that do not continue one.
std::size_t CharacterCount(const std::string& text)
{
    return std::count_if(text.begin(), text.end(),
        [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

int Fail(std::ostream& err, const std::string& message)
{
    err << "quillmark-db: " << message << '\n';
    return exitError;
}

// A path that names a folder would read as an empty document; say so plainly.
bool IsDirectoryPath(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

int FailToLoad(std::ostream& err, const std::string& path, const std::string& reason)
{
    return Fail(err, path + ": " + reason);
}

// Loads `path` into `database`; on failure reports why and returns false.
bool LoadOrReport(DirectoryDatabase& database, const std::string& path, std::ostream& err)
{
    if (IsDirectoryPath(path)) {
        FailToLoad(err, path, "is a folder, not a file");
        return false;
    }
    std::string error;
    if (!database.Load(path, &error)) {
        FailToLoad(err, path, error);
        return false;
    }
    return true;
}

// Output that could not be written must not pass for success.
int Finish(std::ostream& out, std::ostream& err, int status)
{
    if (!out.flush())
        return Fail(err, "cannot write the output");
    return status;
}

int RunList(const CommandLine& line, std::ostream& out, std::ostream& err)
{
    MessageLog log;
    DirectoryDatabase database(log);
    if (!LoadOrReport(database, line.operands[0], err))
        return exitError;

    std::vector<std::string> names;
    database.GetDirectoryNames(names);
    for (const Message& message : log.messages)
        err << "quillmark-db: " << message.caption << ": " << message.text << '\n';
    for (const std::string& name : names)
        out << name << '\n';
    return Finish(out, err, exitOk);
}

const char* IconName(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None:
        return "none";
    case MessageIcon::Error:
        return "error";
    case MessageIcon::Exclamation:
        return "exclamation";
    }
    return "";
}

std::string ItemJson(const DirectoryItem& item)
{
    return "{\"name\":" + JsonQuote(item.name) +
        ",\"type\":" + JsonQuote(ControlTypeName(item.type)) +
        ",\"index\":" + std::to_string(item.index) + ",\"value\":" + JsonQuote(item.value) + "}";
}

std::string MessageJson(const Message& message)
{
    return "{\"text\":" + JsonQuote(message.text) + ",\"caption\":" + JsonQuote(message.caption) +
        ",\"icon\":" + JsonQuote(IconName(message.icon)) + "}";
}

template<typename T, typename ToJson>
std::string JsonArray(const std::vector<T>& elements, ToJson toJson)
{
    std::string json = "[";
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i > 0)
            json += ',';
        json += toJson(elements[i]);
    }
    return json + "]";
}

// Asks what the program asks during one submission, in the same order:
// the page address when the directory is selected, the items when the page
// is filled, the confirmation text when the next page is checked.
int RunShow(const CommandLine& line, std::ostream& out, std::ostream& err)
{
    MessageLog log;
    DirectoryDatabase database(log);
    if (!LoadOrReport(database, line.operands[0], err))
        return exitError;

    const std::string& name = line.operands[1];
    const std::string category = line.category.value_or("");
    const std::string subcategory = line.subcategory.value_or("");
    const std::string submitPage = database.GetDirectorySubmitPage(name, category, subcategory);
    std::vector<DirectoryItem> items;
    database.GetDirectoryItems(name, category, subcategory, items);
    const std::string onSubmit = database.GetDirectoryOnSubmit(name);

    out << "{\"submitPage\":" << JsonQuote(submitPage) << ",\"onSubmit\":" << JsonQuote(onSubmit)
        << ",\"items\":" << JsonArray(items, ItemJson)
        << ",\"messages\":" << JsonArray(log.messages, MessageJson) << "}\n";
    return Finish(out, err, exitOk);
}

// Walks a loaded document and collects what its author should fix, one line
// per finding. Only direct children count at each level, as in the queries.
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
        if (name.find(" [") != std::string::npos)
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
            const std::string text = type.value();
            if (text != "edit" && text != "combobox" && text != "checkbox") {
                Report(itemLabel + " has the unsupported type \"" + text +
                    "\" (use \"edit\", \"combobox\" or \"checkbox\")");
            }
        }

        if (const pugi::xml_attribute index = item.attribute("index")) {
            const std::string text = index.value();
            if (!IsPlainIndex(text)) {
                Report(itemLabel + " has the index \"" + text + "\", which reads as " +
                    std::to_string(ParseLeadingInt(text)));
            }
        }
    }

    // Digits only, within the range an index can hold.
    static bool IsPlainIndex(const std::string& text)
    {
        if (text.empty() || text.size() > 10)
            return false;
        for (const char c : text) {
            if (c < '0' || c > '9')
                return false;
        }
        return std::stoll(text) <= 2147483647LL;
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

        // The program takes the first cond that applies and has a value. The
        // first cond without category and subcategory that has a value ends
        // the search for every profile that got that far.
        const std::string variableLabel = label + ": variable \"" + name + "\"";
        std::vector<pugi::xml_node> chosenBefore; // earlier conds with a value
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
            if (!cond.attribute("category") && !cond.attribute("subcategory")) {
                if (empty) {
                    Report(condLabel +
                        " gives every remaining profile an empty value, so they"
                        " get \"error on variable\"");
                }
                return;
            }
            const bool shadowed = std::any_of(chosenBefore.begin(), chosenBefore.end(),
                [&](const pugi::xml_node& earlier) { return Covers(earlier, cond); });
            if (empty && !shadowed) {
                Report(condLabel +
                    " has an empty value, so the profiles it applies to get"
                    " \"error on variable\"");
            }
            chosenBefore.push_back(cond);
        }
        Report(variableLabel +
            " has no cond without \"category\" and \"subcategory\" that gives a value, so"
            " some profiles get \"error on variable\"");
    }

    // Whether every profile `later` applies to stops at `earlier` already.
    static bool Covers(const pugi::xml_node& earlier, const pugi::xml_node& later)
    {
        for (const char* attribute : {"category", "subcategory"}) {
            const pugi::xml_attribute condition = earlier.attribute(attribute);
            const pugi::xml_attribute other = later.attribute(attribute);
            if (condition && (!other || std::string(condition.value()) != other.value()))
                return false;
        }
        return true;
    }

    std::vector<std::string> findings;
    std::map<std::string, int> nameCounts;
    std::map<std::string, int> firstPositions;
};

int RunCheck(const CommandLine& line, std::ostream& out, std::ostream& err)
{
    const std::string& path = line.operands[0];
    if (IsDirectoryPath(path))
        return FailToLoad(err, path, "is a folder, not a file");
    pugi::xml_document document;
    const XmlLoadResult result = LoadXmlFile(path, document);
    if (!result)
        return FailToLoad(err, path, result.Message());

    const std::vector<std::string> findings = DatabaseChecker().Check(document);
    for (const std::string& finding : findings)
        out << finding << '\n';
    if (findings.empty())
        out << "ok\n";
    return Finish(out, err, findings.empty() ? exitOk : exitFindings);
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << usageText;
        return exitError;
    }
    for (const std::string& arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            out << usageText;
            return Finish(out, err, exitOk);
        }
    }

    const CommandInfo* info = FindCommand(args[0]);
    if (!info) {
        const char* what = args[0].size() > 1 && args[0][0] == '-' ? "option" : "command";
        return Fail(
            err, std::string("unknown ") + what + " '" + args[0] + "' (try 'quillmark-db --help')");
    }

    CommandLine line;
    line.command = info->name;
    std::string error;
    if (!ParseArguments(*info, args, line, error))
        return Fail(err, error);

    if (line.command == "list")
        return RunList(line, out, err);
    if (line.command == "show")
        return RunShow(line, out, err);
    return RunCheck(line, out, err);
}

} // namespace

int RunDbTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    try {
        return Run(args, out, err);
    } catch (const std::exception& e) {
        return Fail(err, std::string("internal error: ") + e.what());
    } catch (...) {
        return Fail(err, "internal error");
    }
}
