#include "crash/CrashFixtures.h"

#include "core/profiles/StateFile.h"
#include "support/SampleProfiles.h"

namespace {

// Profiles of roughly 1.2 KB each in the state file.
std::size_t ProfileCount(int version)
{
    switch (version) {
    case 0:
        return 2;
    case 1:
        return 260;
    default:
        return 340;
    }
}

std::string Paragraphs(int version, std::size_t index)
{
    std::string text;
    for (int line = 0; line < 8; ++line) {
        if (line > 0)
            text += "\r\n";
        text += "Version " + std::to_string(version) + ", article " + std::to_string(index) +
            ", paragraph " + std::to_string(line) +
            ": herbs like shade, mint spreads fast, and thyme wants sun.";
    }
    return text;
}

} // namespace

int CrashVersionOfWrite(long write)
{
    if (write <= 0)
        return 0;
    return write % 2 == 1 ? 1 : 2;
}

ProfileStore CrashProfileStore(int version)
{
    ProfileStore store;
    const std::string tag = "v" + std::to_string(version);
    for (std::size_t i = 0; i < ProfileCount(version); ++i) {
        const std::string number = std::to_string(i);
        Profile profile = SampleProfile("Profile " + number + " " + tag);
        profile.url = "http://garden" + number + ".test/" + tag;
        profile.articleTitle = "Ten Herbs for Shade, part " + number;
        profile.articleContent = Paragraphs(version, i);
        profile.subcategory = i % 2 ? "Herbs" : "";
        profile.authorInfo = "Jo Lee writes about small gardens.\r\nSee " + profile.url;
        profile.email = "jo" + number + "@garden.test";
        profile.password = "secret " + tag;
        for (std::size_t d = 0; d < i % 7; ++d)
            profile.sentDirectories.insert("Directory " + std::to_string(d * 13 + i));
        store.AddProfile(std::move(profile));
    }
    return store;
}

std::string CrashSelectedName(int version)
{
    return "Profile 1 v" + std::to_string(version);
}

std::string CrashStateBytes(int version)
{
    const std::string selected = CrashSelectedName(version);
    return StateFileBytes(CrashProfileStore(version), &selected);
}

std::size_t CrashDirectoryCount(int version)
{
    switch (version) {
    case 0:
        return 3;
    case 1:
        return 1250;
    default:
        return 1700;
    }
}

std::string CrashDatabase(int version)
{
    const std::string tag = "v" + std::to_string(version);
    std::string body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n";
    for (std::size_t i = 0; i < CrashDirectoryCount(version); ++i) {
        const std::string number = std::to_string(i);
        body += "<directory name=\"Directory " + number + " " + tag + "\" submiturl=\"http://d" +
            number + ".test/submit?" + tag +
            "\" onsubmit=\"Thank you for your article\">\n"
            "  <item name=\"title\" index=\"0\" type=\"edit\" value=\"#title#\"/>\n"
            "  <item name=\"author\" index=\"" +
            std::to_string(i % 3) + "\" type=\"edit\" value=\"#fname# #lname#\"/>\n</directory>\n";
    }
    return body + "</r>\n";
}

const char* const crashRecordProfile = "Crash Profile";

std::string CrashRecordDirectory(long write)
{
    // Zero-padded, so the record's order by name is the order of writes.
    std::string number = std::to_string(write);
    return "Directory " + std::string(number.size() < 8 ? 8 - number.size() : 0, '0') + number;
}

std::string CrashRecordAddress(long write)
{
    return "http://127.0.0.1:8731/write/" + std::to_string(write) + "?" +
        std::string(4000, static_cast<char>('a' + write % 26));
}
