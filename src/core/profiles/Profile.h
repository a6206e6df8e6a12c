#pragma once

#include <array>
#include <set>
#include <string>

// One article with its author's details and the directories it was sent to.
// A plain value: copies share nothing.
struct Profile
{
    std::string name;
    std::string url;
    std::string articleTitle;
    std::string articleContent; // multi-line, CR LF line breaks
    std::string category;
    std::string subcategory;
    std::string authorInfo; // multi-line, CR LF line breaks
    std::string email;
    std::string firstName;
    std::string lastName;
    std::string password;
    // Directory names in ascending byte order, each once.
    std::set<std::string> sentDirectories;

    bool operator==(const Profile& other) const;
    bool operator!=(const Profile& other) const { return !(*this == other); }
};

// One of the eleven text fields of a profile.
struct ProfileField
{
    std::string Profile::*member;
    // The field's label as the profile editor shows it.
    const char* label;
    // Whether the value may hold line breaks, as CR LF; the other fields are
    // one line each.
    bool multiLine;
};

// Every text field of a profile, in the order of the state file. Whatever
// handles all the fields (comparing, reading and writing the state file,
// the editor's copying in and out) walks this table: a new field is its
// member, its row here and its control in the editor's form.
inline constexpr std::array<ProfileField, 11> profileFields {{
    {&Profile::name, "Profile Name:", false},
    {&Profile::url, "URL:", false},
    {&Profile::articleTitle, "Article Title:", false},
    {&Profile::articleContent, "Article Content:", true},
    {&Profile::category, "Category:", false},
    {&Profile::subcategory, "Subcategory:", false},
    {&Profile::authorInfo, "Author Info:", true},
    {&Profile::email, "Email:", false},
    {&Profile::firstName, "First Name:", false},
    {&Profile::lastName, "Last Name:", false},
    {&Profile::password, "Password:", false},
}};
