#pragma once

#include <filesystem>
#include <string>

// Where a GET request for a path of the demo web site leads.
struct StaticTarget
{
    enum class Kind
    {
        File, // serve `file`
        Redirect, // a folder asked for without its slash: send the client to `location`
        NotFound,
    };

    Kind kind = Kind::NotFound;
    std::filesystem::path file;
    std::string location;
};

// Maps the decoded path of a request ("/updates/") to a file below `root`,
// which must be canonical. A path ending in "/" means the folder's
// index.html. Nothing outside `root` is ever reached: segments "." and ".."
// (and every other segment that starts with a dot), backslashes and NUL
// bytes are refused, and a symbolic link that leads out of `root` counts as
// missing.
StaticTarget ResolveStaticPath(const std::filesystem::path& root, const std::string& requestPath);

// The Content-Type for a file, from its extension.
std::string ContentTypeFor(const std::filesystem::path& file);

// Percent-encodes a path for a Location header; "/" and the unreserved
// characters stay as they are.
std::string EncodeUrlPath(const std::string& path);
