#include "fill/PlaceholderExpansion.h"

#include "common/Text.h"
#include "profiles/Profile.h"

std::string ExpandPlaceholders(const std::string& pattern, const Profile& profile)
{
    // The order of this table is the order of substitution.
    const struct
    {
        const char* token;
        const std::string& field;
    } placeholders[] = {
        {"#url#", profile.url},
        {"#title#", profile.articleTitle},
        {"#desc#", profile.articleContent},
        {"#cat#", profile.category},
        {"#subcat#", profile.subcategory},
        {"#keywords#", profile.authorInfo},
        {"#email#", profile.email},
        {"#fname#", profile.firstName},
        {"#lname#", profile.lastName},
        {"#password#", profile.password},
    };

    std::string text = pattern;
    for (const auto& placeholder : placeholders)
        ReplaceAll(text, placeholder.token, placeholder.field);
    return text;
}
