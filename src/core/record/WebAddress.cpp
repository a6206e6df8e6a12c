#include "core/record/WebAddress.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::string_view Trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

int DefaultPort(const std::string& scheme)
{
    return scheme == "https" ? 443 : 80;
}

} // namespace

std::optional<WebAddress> WebAddress::Parse(std::string_view text)
{
    text = Trimmed(text);
    const std::size_t colon = text.find("://");
    if (colon == std::string_view::npos)
        return std::nullopt;
    WebAddress address;
    address.scheme = Lower(text.substr(0, colon));
    if (address.scheme != "http" && address.scheme != "https")
        return std::nullopt;
    text.remove_prefix(colon + 3);

    const std::size_t authorityEnd = text.find_first_of("/?#");
    std::string_view authority = text.substr(0, authorityEnd);
    std::string_view rest =
        authorityEnd == std::string_view::npos ? std::string_view() : text.substr(authorityEnd);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);

    std::string_view host = authority;
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos)
            return std::nullopt;
        host = authority.substr(1, close - 1);
        if (authority.size() > close + 1 && authority[close + 1] == ':')
            port = authority.substr(close + 2);
    } else if (const std::size_t portColon = authority.rfind(':');
               portColon != std::string_view::npos) {
        host = authority.substr(0, portColon);
        port = authority.substr(portColon + 1);
    }
    if (host.empty())
        return std::nullopt;
    address.host = Lower(host);
    // A host may end in a dot that names the root; the site is the same.
    if (address.host.back() == '.')
        address.host.pop_back();
    address.port = DefaultPort(address.scheme);
    if (!port.empty()) {
        if (port.size() > 5 ||
            !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        address.port = std::stoi(std::string(port));
        if (address.port > 65535)
            return std::nullopt;
    }

    rest = rest.substr(0, rest.find('#'));
    address.path =
        rest.empty() || rest.front() != '/' ? "/" + std::string(rest) : std::string(rest);
    return address;
}

std::string WebAddress::SiteKey() const
{
    return host + ":" + std::to_string(port);
}

std::string WebAddress::BareHost() const
{
    return host.rfind("www.", 0) == 0 ? host.substr(4) : host;
}

std::string WebAddress::Normalised() const
{
    std::string text = BareHost();
    if (port != DefaultPort(scheme))
        text += ":" + std::to_string(port);
    std::string_view page = path;
    const std::size_t query = page.find('?');
    std::string_view pagePath = page.substr(0, query);
    while (!pagePath.empty() && pagePath.back() == '/')
        pagePath.remove_suffix(1);
    text += pagePath;
    if (query != std::string_view::npos)
        text += page.substr(query);
    return text;
}

bool SameSite(const WebAddress& a, const WebAddress& b)
{
    return a.BareHost() == b.BareHost() && a.port == b.port;
}

bool SameAddress(std::string_view a, std::string_view b)
{
    const auto first = WebAddress::Parse(a);
    const auto second = WebAddress::Parse(b);
    return first && second && first->Normalised() == second->Normalised();
}
