#include "tools/DbTool.h"

#include "core/common/Json.h"
#include "core/common/MessageLog.h"
#include "core/common/Result.h"
#include "core/directorydb/DatabaseCheck.h"
#include "core/directorydb/DirectoryDatabase.h"
#include "core/directorydb/XmlLoader.h"

#include <pugixml.hpp>

#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>

#ifndef QUILLMARK_VERSION
#error "QUILLMARK_VERSION must give the program's version"
#endif

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
    "Options:\n"
    "  -h, --help       print this text\n"
    "  --version        print the version of quillmark-db\n"
    "\n"
    "Exit status: 0 success, 1 findings of check, 2 usage errors and files\n"
    "that cannot be loaded.\n";

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

// Tells the user what went wrong; returns the exit status that says so.
int PrintError(std::ostream& err, const std::string& message)
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

int PrintLoadError(std::ostream& err, const std::string& path, const std::string& reason)
{
    return PrintError(err, path + ": " + reason);
}

// Loads `path` into `database`; on failure reports why and returns false.
bool LoadOrReport(DirectoryDatabase& database, const std::string& path, std::ostream& err)
{
    if (IsDirectoryPath(path)) {
        PrintLoadError(err, path, "is a folder, not a file");
        return false;
    }
    Result loaded;
    if (!database.Load(path, &loaded)) {
        PrintLoadError(err, path, loaded.Reason());
        return false;
    }
    return true;
}

// Output that could not be written must not pass for success.
int Finish(std::ostream& out, std::ostream& err, int status)
{
    if (!out.flush())
        return PrintError(err, "cannot write the output");
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

int RunCheck(const CommandLine& line, std::ostream& out, std::ostream& err)
{
    const std::string& path = line.operands[0];
    if (IsDirectoryPath(path))
        return PrintLoadError(err, path, "is a folder, not a file");
    pugi::xml_document document;
    const XmlLoadResult result = LoadXmlFile(path, document);
    if (!result)
        return PrintLoadError(err, path, result.Reason());

    const std::vector<std::string> findings = CheckDatabase(document);
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
        if (arg == "--version") {
            out << "quillmark-db " << QUILLMARK_VERSION << '\n';
            return Finish(out, err, exitOk);
        }
    }

    const CommandInfo* info = FindCommand(args[0]);
    if (!info) {
        const char* what = args[0].size() > 1 && args[0][0] == '-' ? "option" : "command";
        return PrintError(
            err, std::string("unknown ") + what + " '" + args[0] + "' (try 'quillmark-db --help')");
    }

    CommandLine line;
    line.command = info->name;
    std::string error;
    if (!ParseArguments(*info, args, line, error))
        return PrintError(err, error);

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
        return PrintError(err, std::string("internal error: ") + e.what());
    } catch (...) {
        return PrintError(err, "internal error");
    }
}
