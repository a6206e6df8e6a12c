#include "ShellTestSupport.h"
#include "core/profiles/StateFile.h"
#include "support/Printers.h"
#include "support/SampleProfiles.h"

#include <filesystem>
#include <iterator>
#include <sstream>

namespace {

Profile Sample(int i)
{
    return SampleProfile("Profile " + std::to_string(i), {"Alpha", "Beta " + std::to_string(i)});
}

std::vector<Profile> ReadProfiles(const std::string& bytes, std::string* firstLine = nullptr)
{
    std::istringstream in(bytes, std::ios::binary);
    ProfileStore store;
    const std::string line = ReadState(in, store).selectedName;
    if (firstLine)
        *firstLine = line;
    return store.Profiles();
}

// The program starts on damaged files, shows what it could read, keeps
// working, and writes back no less than it read.
class BadInputTest : public ::testing::Test
{
protected:
    BadInputTest()
    {
        server.Page("/updates/", "<html><body>start</body></html>");
        server.Page("/form", "<html><body><form><input name='title'></form></body></html>");
        server.Start();
    }

    std::unique_ptr<MainWindow> Open()
    {
        auto dialog = std::make_unique<MainWindow>(TestSettings(server, folder));
        dialog->show();
        return dialog;
    }

    std::string Read(const char* name) const
    {
        return TemporaryDirectory::Read(folder.FilePath(name));
    }

    TestHttpServer server;
    TemporaryDirectory folder;
    MessageBoxRecorder boxes;
};

// A damaged file is copied aside before anything can write over it, and the
// user is told once, at start, what was kept where. A clean file is left
// alone and nothing is said.
TEST_F(BadInputTest, DamagedStateFileKeepsWhatCouldBeRead)
{
    folder.Write("dirdata.xml",
        "<r><directory name='Alpha' submiturl='" + server.Url("/form") +
            "' onsubmit='x'><item name='title' index='0' type='edit' "
            "value='#title#'/></directory></r>");
    ProfileStore store;
    for (int i = 0; i < 3; ++i)
        store.AddProfile(Sample(i));
    const std::string selected = "Profile 1";
    const std::string good = StateFileBytes(store, &selected);

    // Each damaged file with the profiles it must still give, known from how
    // it was made, not from the reader under test.
    const auto at = [&](const std::string& text) { return good.substr(0, good.find(text)); };
    Profile jose;
    jose.name = "Jos\xC3\xA9";
    const std::vector<Profile> none;
    const struct
    {
        std::string label;
        std::string bytes;
        std::vector<Profile> profiles;
    } damaged[] = {
        {"cut in the first name", good.substr(0, good.find("Profile 0\r\n", 12) + 4), none},
        {"cut before the second profile", at("Profile 1\r\nhttp"), {Sample(0)}},
        {"cut in the third article",
            good.substr(0, good.find("Mint", good.find("Profile 2\r\nhttp"))),
            {Sample(0), Sample(1)}},
        {"cut before the last marks", at("2\r\nAlpha\r\nBeta 2"), {Sample(0), Sample(1)}},
        {"binary garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 17), none},
        {"huge profile count",
            "Profile 0\r\n2147483647\r\n" + good.substr(good.find("Profile 0\r\n", 12)),
            {Sample(0), Sample(1), Sample(2)}},
        {"huge sent count",
            "\r\n1\r\nP\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n99999999999\r\nx\r\n", none},
        {"windows-1252 and truncated",
            "Jos\xE9\r\n2\r\nJos\xE9\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n0\r\n", {jose}},
    };
    const std::size_t rows = std::size(damaged);

    const std::string copyBase = folder.FilePath("sv.dat") + ".damaged";
    for (std::size_t row = 0; row <= rows; ++row) {
        const bool clean = row == rows;
        const std::string label = clean ? "clean" : damaged[row].label;
        const std::string bytes = clean ? good : damaged[row].bytes;
        const std::string copy = row == 0 ? copyBase : copyBase + "." + std::to_string(row);
        SCOPED_TRACE(label);
        folder.Write("sv.dat", bytes);
        boxes.messages.clear();
        const std::vector<Profile> readable =
            clean ? std::vector<Profile> {Sample(0), Sample(1), Sample(2)} : damaged[row].profiles;
        {
            const auto dialog = Open();
            EXPECT_EQ(std::size_t(dialog->profileCombo()->count()), readable.size());
            EXPECT_EQ(dialog->profiles().Profiles(), readable);
            EXPECT_EQ(dialog->directoryList()->model()->rowCount(), 1);

            // It keeps working: a chosen directory opens and is filled.
            if ((dialog->currentProfile() != nullptr)) {
                ChooseRow(dialog->directoryList(), 0);
                ASSERT_TRUE(WaitFor([&] {
                    return dialog->browser()->url().path() == QStringLiteral("/form") &&
                        RunScriptAndWait(
                            dialog->browser(), QStringLiteral("document.forms[0].title.value"))
                            .toString()
                            .toStdString() == dialog->currentProfile()->articleTitle;
                }));
            }
            ASSERT_TRUE(dialog->close());
        }
        EXPECT_EQ(ReadProfiles(Read("sv.dat")), readable) << "written back: all that was read";
        if (clean) {
            EXPECT_TRUE(boxes.messages.empty());
            EXPECT_FALSE(std::filesystem::exists(copy));
            continue;
        }
        EXPECT_EQ(TemporaryDirectory::Read(copy), bytes) << "the original, byte for byte";
        ASSERT_EQ(boxes.messages.size(), 1u) << "one message, at start";
        const Message& message = boxes.messages[0];
        EXPECT_EQ(message.caption, ApplicationName().toStdString());
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        EXPECT_NE(
            message.text.find("The original file was kept as " + copy + "."), std::string::npos)
            << message.text;
    }
    EXPECT_EQ(TemporaryDirectory::Read(copyBase), damaged[0].bytes)
        << "later starts never write over an earlier copy";
}

// A file from an 8-bit system comes through with its accents.
TEST_F(BadInputTest, StateFileInWindows1252IsConvertedAndKept)
{
    folder.Write(
        "dirdata.xml", "<r><directory name='Caf\xC3\xA9' submiturl='u' onsubmit='o'/></r>");
    const std::string bytes = "Jos\xE9\r\n1\r\nJos\xE9\r\n\r\n\x93Ol\xE9\x94\r\n"
                              "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n1\r\nCaf\xE9\r\n";
    folder.Write("sv.dat", bytes);
    {
        const auto dialog = Open();
        EXPECT_EQ(dialog->profileCombo()->currentText(), QStringLiteral("Jos\u00E9"));
        EXPECT_EQ(dialog->currentProfile()->articleTitle, "\xE2\x80\x9COl\xC3\xA9\xE2\x80\x9D");
        EXPECT_EQ(
            Entries(dialog->directoryList()), QStringList {QStringLiteral("Caf\u00E9 [sent]")});
        ASSERT_TRUE(dialog->close());
    }
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_NE(boxes.messages[0].text.find("converted to UTF-8"), std::string::npos);
    EXPECT_EQ(Read("sv.dat.damaged"), bytes);
    ProfileStore saved;
    std::istringstream in(Read("sv.dat"), std::ios::binary);
    const StateReadResult read = ReadState(in, saved);
    EXPECT_FALSE(read.converted) << "saved as UTF-8";
    EXPECT_TRUE(saved.IsSent("Jos\xC3\xA9", "Caf\xC3\xA9"));
}

TEST_F(BadInputTest, DamagedDatabaseStartsWithWhatCouldBeRead)
{
    const std::string secret = folder.Write("secret.txt", "TOP-SECRET");
    std::string deep = "<r><directory name='Deep' submiturl='u' onsubmit='o'/>";
    for (int i = 0; i < 50000; ++i)
        deep += "<g>";
    for (int i = 0; i < 50000; ++i)
        deep += "</g>";
    deep += "</r>";
    const std::string hugeName(2 << 20, 'n');

    const struct
    {
        const char* label;
        std::string xml;
        QStringList entries;
    } rows[] = {
        {"not XML", "this is no XML at all \x01\x02\xFF", {}},
        {"cut short", "<r><directory name='Alpha' submiturl='u' onsubmit='o'/><directory name='Be",
            {}},
        {"deep nesting", deep, {"Deep"}},
        {"huge attribute", "<r><directory name='" + hugeName + "' submiturl='u'/></r>",
            {QString::fromStdString(hugeName)}},
        {"external entity",
            "<?xml version='1.0'?><!DOCTYPE r [<!ENTITY leak SYSTEM 'file://" + secret +
                "'>]><r><directory name='&leak;' submiturl='u'/><directory name='Plain'/></r>",
            {"&leak;", "Plain"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        folder.Write("dirdata.xml", row.xml);
        {
            const auto dialog = Open();
            EXPECT_EQ(Entries(dialog->directoryList()), row.entries);
            // Showing a 2 MiB list entry alone takes seconds on a busy machine.
            ASSERT_TRUE(WaitForPage(dialog->browser(), QStringLiteral("/updates/"), 30000));
            ASSERT_TRUE(dialog->close());
        }
        EXPECT_EQ(Read("dirdata.xml"), row.xml) << "the program never writes the database itself";
        EXPECT_EQ(Read("sv.dat"), "\r\n0\r\n");
        EXPECT_TRUE(boxes.messages.empty());
    }
}

} // namespace
