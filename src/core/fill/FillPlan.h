#pragma once

#include "core/directorydb/DirectoryItem.h"
#include "core/profiles/ProfileExtras.h"

#include <cstdint>
#include <string>
#include <vector>

class DirectoryDatabase;
struct Profile;

// One value to write into the page: the element is the `index`-th, in
// document order, of the elements whose name or id is `name`. The item's
// type says what the value does to a choice or a check box.
struct FillStep
{
    std::string name;
    std::int32_t index = 0;
    std::string text; // placeholders expanded
    ControlType type = ControlType::Edit;

    bool operator==(const FillStep& other) const
    {
        return name == other.name && index == other.index && text == other.text &&
            type == other.type;
    }
};

// What a fill of the directory's submission page writes, in item order: the
// directory's items for the profile's category and subcategory, each value
// expanded from the profile and the values kept beside it. A directory the
// database lacks gives nothing.
std::vector<FillStep> BuildFillPlan(const DirectoryDatabase& database,
    const std::string& directoryName, const Profile& profile, const ProfileExtras& extras = {});
