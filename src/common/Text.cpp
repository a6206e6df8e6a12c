#include "common/Text.h"

#include <algorithm>
#include <limits>

std::int32_t ParseLeadingInt(std::string_view text)
{
    std::size_t pos = 0;
    auto isSpace = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
    };
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;

    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    constexpr std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
    std::int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = value * 10 + (text[pos] - '0');
        if (value > limit)
            value = limit;
    }
    if (negative)
        return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, limit - 1));
}

void ReplaceAll(std::string& text, std::string_view token, std::string_view replacement)
{
    if (token.empty())
        return;
    std::size_t pos = text.find(token);
    if (pos == std::string::npos)
        return;

    std::string result;
    result.reserve(text.size());
    std::size_t done = 0;
    while (pos != std::string::npos) {
        result.append(text, done, pos - done);
        result.append(replacement);
        done = pos + token.size();
        pos = text.find(token, done);
    }
    result.append(text, done, std::string::npos);
    text.swap(result);
}
