#pragma once

#include "core/profiles/ProfileExtras.h"

#include <cstddef>
#include <string>
#include <vector>

struct Profile;

// Turns an item value into the text for one form field: each profile
// placeholder ("#url#", "#title#", ...) is replaced by its field, the tokens
// taken in a fixed order. Text inserted for one token is searched by the
// tokens after it, never by those before it. The last three take the
// values kept beside the profile: "#author#" the byline, else the first and
// last name; "#summary#" the summary, else ArticleLead of the article;
// "#tags#" the tags.
std::string ExpandPlaceholders(
    const std::string& pattern, const Profile& profile, const ProfileExtras& extras = {});

// Every placeholder ExpandPlaceholders knows, in its order.
std::vector<std::string> PlaceholderTokens();

// What a placeholder stands for, as the directory dialog says it ("article
// title"); empty for text that is no placeholder.
std::string PlaceholderMeaning(const std::string& token);

// The longest summary made from an article, in bytes.
inline constexpr std::size_t summaryLimit = 300;

// The first sentences of `article`, as many as fit in `limit` bytes, on
// one line; the first sentence cut at a word when even it does not fit.
std::string ArticleLead(const std::string& article, std::size_t limit = summaryLimit);
