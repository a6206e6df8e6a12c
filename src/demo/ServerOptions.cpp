#include "demo/ServerOptions.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace {

bool ParsePort(const std::string& text, int& port)
{
    if (text.empty() || text.size() > 5)
        return false;
    int value = 0;
    for (unsigned char c : text) {
        if (!std::isdigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    if (value > 65535)
        return false;
    port = value;
    return true;
}

} // namespace

bool ParseServerArguments(
    const std::vector<std::string>& arguments, ServerOptions& options, std::string* error)
{
    auto fail = [error](std::string reason) {
        if (error)
            *error = std::move(reason);
        return false;
    };

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.showHelp = true;
            continue;
        }

        std::string option = argument;
        std::string value;
        bool hasValue = false;
        const std::size_t equals = argument.find('=');
        if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos) {
            option = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        if (option != "--port" && option != "--root" && option != "--ckeditor")
            return fail("unknown argument \"" + argument + "\"");
        if (!hasValue) {
            if (i + 1 == arguments.size())
                return fail(option + " needs a value");
            value = arguments[++i];
        }

        if (option == "--port") {
            if (!ParsePort(value, options.port))
                return fail("\"" + value + "\" is no port number (0 to 65535)");
        } else {
            if (value.empty())
                return fail(option + " needs a folder");
            (option == "--root" ? options.root : options.ckeditor) = value;
        }
    }
    return true;
}

std::string DefaultSiteFolder(const std::string& programFolder, const std::string& sourceSite)
{
    std::filesystem::path folder(programFolder);
    if (!folder.has_filename() && folder.has_relative_path())
        folder = folder.parent_path();
    if (folder.filename() != "bin")
        return sourceSite;
    const std::filesystem::path installed = folder.parent_path() / "share" / "quillmark" / "www";
    std::error_code error;
    return std::filesystem::is_directory(installed, error) ? installed.string() : sourceSite;
}

const char* ServerUsage()
{
    return "usage: quillmark-demo-server [--port N] [--root DIR] [--ckeditor DIR]";
}
