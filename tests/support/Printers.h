#pragma once

#include "core/fill/FillPlan.h"
#include "core/profiles/Profile.h"

#include <ostream>

// Readable test failures for our value types.
inline void PrintTo(const Profile& p, std::ostream* out)
{
    *out << "Profile{";
    for (const ProfileField& field : profileFields)
        *out << field.label << " \"" << p.*field.member << "\", ";
    *out << "sent={";
    for (const auto& directory : p.sentDirectories)
        *out << '"' << directory << "\" ";
    *out << "}}";
}

inline void PrintTo(const FillStep& step, std::ostream* out)
{
    *out << "FillStep{\"" << step.name << "\", " << step.index << ", \"" << step.text << "\", "
         << ControlTypeName(step.type) << "}";
}
