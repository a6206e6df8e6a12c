#include "ShellTestSupport.h"
#include "profiles/StateFile.h"
#include "support/Printers.h"

#include <random>
#include <sstream>

namespace {

Profile Sample(int i)
{
    Profile p;
    p.name = "Profile " + std::to_string(i);
    p.articleTitle = "Title " + std::to_string(i);
    p.articleContent = "Line one\r\nLine two";
    p.email = "p" + std::to_string(i) + "@example.test";
    p.sentDirectories = {"Alpha", "Beta " + std::to_string(i)};
    return p;
}

std::vector<Profile> ReadProfiles(const std::string& bytes, std::string* firstLine = nullptr)
{
    std::istringstream in(bytes, std::ios::binary);
    ProfileStore store;
    const std::string line = ReadState(in, store);
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

    std::unique_ptr<MainDialog> Open()
    {
        auto dialog = std::make_unique<MainDialog>(TestSettings(server, folder));
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

    std::mt19937 random(7);
    std::vector<std::pair<std::string, std::string>> damaged;
    for (int cut = 0; cut < 6; ++cut) {
        const std::size_t at =
            std::uniform_int_distribution<std::size_t>(1, good.size() - 1)(random);
        damaged.emplace_back("truncated at " + std::to_string(at), good.substr(0, at));
    }
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(random));
    damaged.emplace_back("random bytes", noise);
    damaged.emplace_back("huge profile count",
        "Profile 0\r\n2147483647\r\n" + good.substr(good.find("Profile 0\r\n", 12)));
    damaged.emplace_back("huge sent count",
        "\r\n1\r\nP\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n99999999999\r\nx\r\n");

    for (const auto& [label, bytes] : damaged) {
        SCOPED_TRACE(label);
        folder.Write("sv.dat", bytes);
        std::string firstLine;
        const std::vector<Profile> readable = ReadProfiles(bytes, &firstLine);
        {
            const auto dialog = Open();
            EXPECT_EQ(std::size_t(dialog->ProfileCombo()->count()), readable.size());
            EXPECT_EQ(dialog->Profiles().Profiles(), readable);
            EXPECT_EQ(dialog->DirectoryList()->count(), 1);

            // It keeps working: a chosen directory opens and is filled.
            if (dialog->HasCurrentProfile()) {
                dialog->DirectoryList()->setCurrentRow(0);
                ASSERT_TRUE(WaitFor([&] {
                    return dialog->Browser()->url().path() == QStringLiteral("/form") &&
                        RunScriptAndWait(
                            dialog->Browser(), QStringLiteral("document.forms[0].title.value"))
                            .toString()
                            .toStdString() == dialog->CurrentProfile().articleTitle;
                }));
            }
            ASSERT_TRUE(dialog->close());
        }
        EXPECT_EQ(ReadProfiles(Read("sv.dat")), readable) << "written back: all that was read";
        EXPECT_TRUE(boxes.messages.empty());
    }
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
            EXPECT_EQ(Entries(dialog->DirectoryList()), row.entries);
            ASSERT_TRUE(WaitForPage(dialog->Browser(), QStringLiteral("/updates/")));
            ASSERT_TRUE(dialog->close());
        }
        EXPECT_EQ(Read("dirdata.xml"), row.xml) << "the program never writes the database itself";
        EXPECT_EQ(Read("sv.dat"), "\r\n0\r\n");
        EXPECT_TRUE(boxes.messages.empty());
    }
}

} // namespace
