// Placeholder expansion against a small reference: the input is split into
// the eleven text fields of a profile and the three values kept beside it,
// and the rest is the template.

#include "core/fill/PlaceholderExpansion.h"
#include "core/profiles/Profile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

// Fields that hold the tokens of later rows multiply the text: a few
// kilobytes of profile can ask for gigabytes. That is the user's own data,
// not a fault, so such inputs are left out.
constexpr std::size_t largestResult = std::size_t(1) << 20;

// Replaces each token in table order, byte by byte from the left; a match
// consumes the token, and the inserted field is not looked at again by the
// same row. False when the text grows past `largestResult`.
bool ReferenceExpand(
    std::string text, const Profile& profile, const ProfileExtras& extras, std::string& result)
{
    // The byline, else the first and last name, with a blank between two
    // names; the summary, else the article's lead.
    const std::string names = profile.firstName.empty() || profile.lastName.empty()
        ? profile.firstName + profile.lastName
        : profile.firstName + " " + profile.lastName;
    const std::string author = extras.byline.empty() ? names : extras.byline;
    const std::string summary =
        extras.summary.empty() ? ArticleLead(profile.articleContent) : extras.summary;
    const std::pair<std::string, const std::string*> rows[] = {
        {"#url#", &profile.url},
        {"#title#", &profile.articleTitle},
        {"#desc#", &profile.articleContent},
        {"#cat#", &profile.category},
        {"#subcat#", &profile.subcategory},
        {"#keywords#", &profile.authorInfo},
        {"#email#", &profile.email},
        {"#fname#", &profile.firstName},
        {"#lname#", &profile.lastName},
        {"#password#", &profile.password},
        {"#author#", &author},
        {"#summary#", &summary},
        {"#tags#", &extras.tags},
    };
    for (const auto& [token, field] : rows) {
        std::string out;
        std::size_t i = 0;
        while (i < text.size()) {
            if (text.compare(i, token.size(), token) == 0) {
                out += *field;
                i += token.size();
            } else {
                out += text[i];
                ++i;
            }
            if (out.size() > largestResult)
                return false;
        }
        text = std::move(out);
    }
    result = std::move(text);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Profile profile;
    for (std::string* field : {&profile.name, &profile.url, &profile.articleTitle,
             &profile.articleContent, &profile.category, &profile.subcategory, &profile.authorInfo,
             &profile.email, &profile.firstName, &profile.lastName, &profile.password})
        *field = input.ConsumeRandomLengthString(256);
    ProfileExtras extras;
    for (std::string* field : {&extras.byline, &extras.summary, &extras.tags})
        *field = input.ConsumeRandomLengthString(256);
    const std::string pattern = input.ConsumeRemainingBytesAsString();

    std::string expected;
    if (!ReferenceExpand(pattern, profile, extras, expected))
        return -1; // keeps the input out of the corpus
    if (ExpandPlaceholders(pattern, profile, extras) != expected) {
        std::fprintf(stderr, "ExpandPlaceholders differs from the reference\n");
        std::abort();
    }
    return 0;
}
