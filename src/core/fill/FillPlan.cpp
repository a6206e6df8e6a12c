#include "core/fill/FillPlan.h"

#include "core/directorydb/DirectoryDatabase.h"
#include "core/fill/PlaceholderExpansion.h"
#include "core/profiles/Profile.h"

std::vector<FillStep> BuildFillPlan(const DirectoryDatabase& database,
    const std::string& directoryName, const Profile& profile, const ProfileExtras& extras)
{
    std::vector<DirectoryItem> items;
    database.GetDirectoryItems(directoryName, profile.category, profile.subcategory, items);
    std::vector<FillStep> plan;
    plan.reserve(items.size());
    for (const DirectoryItem& item : items)
        plan.push_back(
            {item.name, item.index, ExpandPlaceholders(item.value, profile, extras), item.type});
    return plan;
}
