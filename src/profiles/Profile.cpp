#include "profiles/Profile.h"

#include <tuple>

namespace {

auto Fields(const Profile& p)
{
    return std::tie(p.name, p.url, p.articleTitle, p.articleContent, p.category, p.subcategory,
        p.authorInfo, p.email, p.firstName, p.lastName, p.password, p.sentDirectories);
}

} // namespace

bool Profile::operator==(const Profile& other) const
{
    return Fields(*this) == Fields(other);
}
