#include "core/browser/NavigationAddress.h"

#include <cctype>
#include <string_view>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The length of the scheme that `text` begins with ("http" for
// "http://..."); 0 when it begins with none. A host followed by a port
// ("localhost:8080/") looks like a scheme and is told apart by the digits
// after the colon.
std::size_t SchemeLength(std::string_view text)
{
    if (text.empty() || !std::isalpha(static_cast<unsigned char>(text[0])))
        return 0;
    std::size_t length = 1;
    while (length < text.size() &&
        (std::isalnum(static_cast<unsigned char>(text[length])) || text[length] == '+' ||
            text[length] == '-' || text[length] == '.'))
        ++length;
    if (length == text.size() || text[length] != ':')
        return 0;

    const std::string_view rest = text.substr(length + 1);
    if (rest.substr(0, 2) == "//")
        return length;
    std::size_t digits = 0;
    while (digits < rest.size() && IsDigit(rest[digits]))
        ++digits;
    const bool port = digits > 0 &&
        (digits == rest.size() || rest[digits] == '/' || rest[digits] == '?' ||
            rest[digits] == '#');
    return port ? 0 : length;
}

} // namespace

std::string NavigationAddress(const std::string& address)
{
    std::size_t begin = 0;
    std::size_t end = address.size();
    while (begin < end && IsBlank(address[begin]))
        ++begin;
    while (end > begin && IsBlank(address[end - 1]))
        --end;
    const std::string_view text(address.data() + begin, end - begin);
    if (text.empty())
        return {};
    if (SchemeLength(text) > 0)
        return std::string(text);
    // "//host/path" keeps its host.
    return (text.substr(0, 2) == "//" ? "http:" : "http://") + std::string(text);
}
