#pragma once

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
