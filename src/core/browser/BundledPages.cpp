#include "core/browser/BundledPages.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace {

constexpr std::string_view bundledScheme = "qrc:";

struct BundledPage
{
    std::string_view path; // as the maker's server and the pages' links name it
    std::string_view file; // in the resources
};

constexpr BundledPage bundledPages[] = {
    {"/", "/updates/index.html"},
    {"/updates/", "/updates/index.html"},
    {"/updates/index.html", "/updates/index.html"},
    {"/faqs/quillmarkhelp.shtml", "/faqs/quillmarkhelp.shtml"},
    {"/contact/", "/contact/index.html"},
    {"/contact/index.html", "/contact/index.html"},
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() &&
        std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                std::tolower(static_cast<unsigned char>(b));
        });
}

// The path, query and fragment of `url` when it lies on the server at
// `base` (scheme and host compared without regard to case); nothing
// otherwise.
bool PathOnServer(std::string_view url, std::string_view base, std::string_view& rest)
{
    while (!base.empty() && base.back() == '/')
        base.remove_suffix(1);
    if (base.empty() || !StartsWithNoCase(url, base))
        return false;
    rest = url.substr(base.size());
    if (rest.empty())
        rest = "/";
    return rest.front() == '/';
}

} // namespace

std::string BundledPageAddress(const std::string& serverUrl, const std::string& url)
{
    std::string_view rest;
    if (StartsWithNoCase(url, bundledScheme))
        rest = std::string_view(url).substr(bundledScheme.size());
    else if (!PathOnServer(url, serverUrl, rest))
        return {};

    const std::size_t fragmentStart = rest.find('#');
    const std::string_view fragment =
        fragmentStart == std::string_view::npos ? std::string_view() : rest.substr(fragmentStart);
    const std::string_view path = rest.substr(0, std::min(rest.find('?'), fragmentStart));
    for (const BundledPage& page : bundledPages) {
        if (path == page.path)
            return std::string(bundledScheme) + std::string(page.file) + std::string(fragment);
    }
    return {};
}

bool IsServerUnreachable(int errorCode)
{
    // The browser engine's network error codes.
    switch (errorCode) {
    case -7: // timed out
    case -102: // connection refused
    case -104: // connection failed
    case -105: // name not resolved
    case -106: // internet disconnected
    case -109: // address unreachable
    case -118: // connection timed out
    case -137: // name resolution failed
        return true;
    default:
        return false;
    }
}
