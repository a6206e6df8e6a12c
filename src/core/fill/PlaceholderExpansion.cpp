#include "core/fill/PlaceholderExpansion.h"

#include "core/common/Text.h"
#include "core/profiles/Placeholders.h"
#include "core/profiles/Profile.h"

#include <functional>
#include <iterator>

namespace {

using Value = std::function<std::string(const Profile&, const ProfileExtras&)>;

Value Field(std::string Profile::*member)
{
    return [member](const Profile& profile, const ProfileExtras&) { return profile.*member; };
}

std::string Byline(const Profile& profile, const ProfileExtras& extras)
{
    if (!extras.byline.empty())
        return extras.byline;
    if (profile.firstName.empty() || profile.lastName.empty())
        return profile.firstName + profile.lastName;
    return profile.firstName + ' ' + profile.lastName;
}

std::string Summary(const Profile& profile, const ProfileExtras& extras)
{
    return extras.summary.empty() ? ArticleLead(profile.articleContent) : extras.summary;
}

// The value of each placeholder, in the order of placeholderNames, which
// is the order of substitution.
const Value values[] = {
    Field(&Profile::url),
    Field(&Profile::articleTitle),
    Field(&Profile::articleContent),
    Field(&Profile::category),
    Field(&Profile::subcategory),
    Field(&Profile::authorInfo),
    Field(&Profile::email),
    Field(&Profile::firstName),
    Field(&Profile::lastName),
    Field(&Profile::password),
    Byline,
    Summary,
    [](const Profile&, const ProfileExtras& extras) { return extras.tags; },
};
static_assert(std::size(values) == placeholderNames.size());

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string ExpandPlaceholders(
    const std::string& pattern, const Profile& profile, const ProfileExtras& extras)
{
    std::string text = pattern;
    for (std::size_t i = 0; i < placeholderNames.size(); ++i) {
        const char* token = placeholderNames[i].token;
        if (text.find(token) != std::string::npos)
            ReplaceAll(text, token, values[i](profile, extras));
    }
    return text;
}

std::vector<std::string> PlaceholderTokens()
{
    std::vector<std::string> tokens;
    for (const PlaceholderName& placeholder : placeholderNames)
        tokens.emplace_back(placeholder.token);
    return tokens;
}

std::string PlaceholderMeaning(const std::string& token)
{
    for (const PlaceholderName& placeholder : placeholderNames) {
        if (token == placeholder.token)
            return placeholder.meaning;
    }
    return {};
}

std::string ArticleLead(const std::string& article, std::size_t limit)
{
    std::string line;
    for (const char c : article) {
        if (IsBlank(c)) {
            if (!line.empty() && line.back() != ' ')
                line += ' ';
        } else {
            line += c;
        }
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    if (line.size() <= limit)
        return line;
    // The last sentence end that fits: ".", "!" or "?" before a blank.
    std::size_t end = 0;
    for (std::size_t i = 0; i + 1 < line.size() && i < limit; ++i) {
        if ((line[i] == '.' || line[i] == '!' || line[i] == '?') && line[i + 1] == ' ')
            end = i + 1;
    }
    if (end == 0) {
        end = line.rfind(' ', limit);
        if (end == std::string::npos || end == 0)
            end = limit;
        while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
            --end;
    }
    return line.substr(0, end);
}
