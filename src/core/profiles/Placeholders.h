#pragma once

#include <array>

// A placeholder of a directory's item values ("#title#") and what it
// stands for, in words.
struct PlaceholderName
{
    const char* token;
    const char* meaning;
};

// Every placeholder the fill expands, in the order it expands them
// (ExpandPlaceholders): the profile's ten, then the three kept beside it.
inline constexpr std::array<PlaceholderName, 13> placeholderNames {{
    {"#url#", "web address"},
    {"#title#", "article title"},
    {"#desc#", "article"},
    {"#cat#", "category"},
    {"#subcat#", "subcategory"},
    {"#keywords#", "author info"},
    {"#email#", "e-mail address"},
    {"#fname#", "first name"},
    {"#lname#", "last name"},
    {"#password#", "password"},
    {"#author#", "author's name"},
    {"#summary#", "summary"},
    {"#tags#", "tags"},
}};
