#pragma once

#include <array>
#include <string>

// The profile values kept beside the state file, never in it: the
// author's name as one field, the article's summary and its tags. Empty
// values stand for "not set": a profile without them fills as before.
struct ProfileExtras
{
    std::string byline; // a pen name; empty: first and last name
    std::string summary; // empty: the article's first sentences
    std::string tags; // comma-separated

    bool operator==(const ProfileExtras& other) const
    {
        return byline == other.byline && summary == other.summary && tags == other.tags;
    }
};

// One value of ProfileExtras: its member and the name it is stored under.
struct ProfileExtraField
{
    std::string ProfileExtras::*member;
    const char* storedName;
};

inline constexpr std::array<ProfileExtraField, 3> profileExtraFields {{
    {&ProfileExtras::byline, "byline"},
    {&ProfileExtras::summary, "summary"},
    {&ProfileExtras::tags, "tags"},
}};
