#pragma once

#include "fill/FillPlan.h"
#include "profiles/Profile.h"

#include <ostream>

// Readable test failures for our value types.
inline void PrintTo(const Profile& p, std::ostream* out)
{
    *out << "Profile{name=\"" << p.name << "\", url=\"" << p.url << "\", title=\"" << p.articleTitle
         << "\", content=\"" << p.articleContent << "\", category=\"" << p.category
         << "\", subcategory=\"" << p.subcategory << "\", authorInfo=\"" << p.authorInfo
         << "\", email=\"" << p.email << "\", firstName=\"" << p.firstName << "\", lastName=\""
         << p.lastName << "\", password=\"" << p.password << "\", sent={";
    for (const auto& directory : p.sentDirectories)
        *out << '"' << directory << "\" ";
    *out << "}}";
}

inline void PrintTo(const FillStep& step, std::ostream* out)
{
    *out << "FillStep{\"" << step.name << "\", " << step.index << ", \"" << step.text << "\"}";
}
