#pragma once

#include "core/profiles/Profile.h"

#include <set>
#include <string>
#include <utility>

// A profile as its writer fills it in: every text field holds a value of its
// own, the two multi-line fields hold CR LF line breaks and the password a
// blank. Tests change what their case needs after it.
inline Profile SampleProfile(
    const std::string& name = "Garden Tips", std::set<std::string> sentDirectories = {})
{
    Profile profile;
    profile.name = name;
    profile.url = "http://garden.test/";
    profile.articleTitle = "Ten Herbs for Shade";
    profile.articleContent = "Herbs like shade.\r\nMint spreads fast.";
    profile.category = "Small Business";
    profile.subcategory = "Gardening";
    profile.authorInfo = "Jo Lee writes\r\nabout small gardens.";
    profile.email = "jo@garden.test";
    profile.firstName = "Jo";
    profile.lastName = "Lee";
    profile.password = "pa ss";
    profile.sentDirectories = std::move(sentDirectories);
    return profile;
}
