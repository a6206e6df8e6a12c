#include "core/fill/PlaceholderExpansion.h"

#include "core/common/Text.h"
#include "core/profiles/Profile.h"

namespace {

// The order of this table is the order of substitution.
const struct
{
    const char* token;
    std::string Profile::*field;
} placeholders[] = {
    {"#url#", &Profile::url},
    {"#title#", &Profile::articleTitle},
    {"#desc#", &Profile::articleContent},
    {"#cat#", &Profile::category},
    {"#subcat#", &Profile::subcategory},
    {"#keywords#", &Profile::authorInfo},
    {"#email#", &Profile::email},
    {"#fname#", &Profile::firstName},
    {"#lname#", &Profile::lastName},
    {"#password#", &Profile::password},
};

} // namespace

std::string ExpandPlaceholders(const std::string& pattern, const Profile& profile)
{
    std::string text = pattern;
    for (const auto& placeholder : placeholders)
        ReplaceAll(text, placeholder.token, profile.*placeholder.field);
    return text;
}

std::vector<std::string> PlaceholderTokens()
{
    std::vector<std::string> tokens;
    for (const auto& placeholder : placeholders)
        tokens.emplace_back(placeholder.token);
    return tokens;
}
