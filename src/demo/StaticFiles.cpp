#include "demo/StaticFiles.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsInside(const fs::path& root, const fs::path& path)
{
    return std::mismatch(root.begin(), root.end(), path.begin(), path.end()).first == root.end();
}

bool IsRegularFileInside(const fs::path& root, const fs::path& candidate, fs::path* real)
{
    std::error_code error;
    fs::path resolved = fs::canonical(candidate, error);
    if (error || !IsInside(root, resolved) || !fs::is_regular_file(resolved, error))
        return false;
    *real = resolved;
    return true;
}

} // namespace

StaticTarget ResolveStaticPath(const fs::path& root, const std::string& requestPath)
{
    StaticTarget notFound;
    if (requestPath.empty() || requestPath.front() != '/')
        return notFound;
    if (requestPath.find('\0') != std::string::npos || requestPath.find('\\') != std::string::npos)
        return notFound;

    fs::path relative;
    std::size_t start = 1;
    while (start <= requestPath.size()) {
        std::size_t end = requestPath.find('/', start);
        if (end == std::string::npos)
            end = requestPath.size();
        const std::string segment = requestPath.substr(start, end - start);
        if (!segment.empty()) {
            if (segment.front() == '.')
                return notFound;
            relative /= segment;
        }
        start = end + 1;
    }

    const bool folderRequest = requestPath.back() == '/';
    fs::path candidate = root / relative;
    if (folderRequest)
        candidate /= "index.html";

    StaticTarget target;
    if (IsRegularFileInside(root, candidate, &target.file)) {
        target.kind = StaticTarget::Kind::File;
        return target;
    }

    std::error_code error;
    const fs::path folder = fs::canonical(candidate, error);
    if (!folderRequest && !error && IsInside(root, folder) && fs::is_directory(folder, error) &&
        IsRegularFileInside(root, folder / "index.html", &target.file)) {
        target.kind = StaticTarget::Kind::Redirect;
        target.file.clear();
        target.location = EncodeUrlPath(requestPath + "/");
        return target;
    }
    return notFound;
}

std::string ContentTypeFor(const fs::path& file)
{
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });

    struct Mapping
    {
        const char* extension;
        const char* type;
    };
    static const Mapping mappings[] = {
        {".html", "text/html; charset=utf-8"},
        {".htm", "text/html; charset=utf-8"},
        {".shtml", "text/html; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".xml", "application/xml"},
        {".txt", "text/plain; charset=utf-8"},
        {".png", "image/png"},
        {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},
        {".gif", "image/gif"},
        {".svg", "image/svg+xml"},
        {".ico", "image/x-icon"},
    };
    for (const Mapping& mapping : mappings) {
        if (extension == mapping.extension)
            return mapping.type;
    }
    return "application/octet-stream";
}

std::string EncodeUrlPath(const std::string& path)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 0x0F];
        }
    }
    return encoded;
}
