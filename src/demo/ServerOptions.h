#pragma once

#include <string>
#include <vector>

// What the command line of quillmark-demo-server asks for.
struct ServerOptions
{
    int port = 8731;
    std::string root; // the web site folder
    // The rich-text editor's files, served under /ckeditor/ when present.
    std::string ckeditor = "/usr/share/javascript/ckeditor";
    bool showHelp = false;
};

// Reads the arguments (without the program name) into `options`, which
// comes in holding the defaults: "--port N" (0 to 65535, 0 picks a free
// port), "--root DIR", "--ckeditor DIR", each also as "--port=N",
// "--root=DIR" and "--ckeditor=DIR", and "--help". False, with the reason in `error`, for anything
// else.
bool ParseServerArguments(
    const std::vector<std::string>& arguments, ServerOptions& options, std::string* error);

// The web site folder served without --root: the installed demo site,
// <prefix>/share/quillmark/www, for a program in <prefix>/bin when that
// folder exists; `sourceSite`, the source tree's, otherwise.
std::string DefaultSiteFolder(const std::string& programFolder, const std::string& sourceSite);

// One line saying how the program is called.
const char* ServerUsage();
