#include "tools/DbTool.h"

#include "TestData.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ToolRun
{
    int status;
    std::string out;
    std::string err;
};

ToolRun RunTool(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunDbTool(args, out, err);
    return {status, out.str(), err.str()};
}

std::string Fixture(const std::string& name)
{
    return std::string(QUILLMARK_TEST_DATA_DIR) + "/" + name;
}

// A diagnostic is exactly one line and says who is speaking.
void ExpectOneDiagnosticLine(const std::string& err)
{
    EXPECT_EQ(err.rfind("quillmark-db: ", 0), 0u) << err;
    ASSERT_FALSE(err.empty());
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
}

TEST(DbToolListTest, ListsNamedDirectoriesInFileOrder)
{
    const ToolRun run = RunTool({"list", Fixture("dbtool-list.xml")});
    EXPECT_EQ(run.status, 0);
    // Duplicates are listed twice and an empty name gives an empty line; a
    // directory without name, or nested too deep, is not listed.
    EXPECT_EQ(run.out, "Zeta Articles\nAlpha Articles\nZeta Articles\n\nMid Articles\n");
    EXPECT_EQ(run.err, "");
}

TEST(DbToolListTest, WrongDocumentElementListsNothing)
{
    const ToolRun run = RunTool({"list", Fixture("dbtool-wrong-root.xml")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
}

struct ShowCase
{
    const char* label;
    std::vector<std::string> options; // after FILE
    const char* json;
};

void PrintTo(const ShowCase& showCase, std::ostream* os)
{
    *os << showCase.label;
}

class DbToolShowTest : public testing::TestWithParam<ShowCase>
{
};

TEST_P(DbToolShowTest, AnswersAsTheProgramDoes)
{
    std::vector<std::string> args = {"show", Fixture("dbtool-show.xml")};
    args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string(GetParam().json) + "\n");
    EXPECT_EQ(run.err, "");
}

const ShowCase showCases[] = {
    {"Normal", {"Alpha Articles"},
        R"({"submitPage":"http://alpha.example/submit.php","onSubmit":"Thank you for your submission",)"
        R"("items":[{"name":"title","type":"edit","index":0,"value":"#title#"},)"
        R"({"name":"category","type":"combobox","index":0,"value":"#cat#"},)"
        R"({"name":"agree","type":"checkbox","index":1,"value":"yes"}],"messages":[]})"},
    {"CategoryVariable", {"Beta Articles", "--category", "Small Business"},
        R"({"submitPage":"http://beta.example/business/submit","onSubmit":"Article received",)"
        R"("items":[{"name":"section","type":"combobox","index":2,"value":"business \u0026 #subcat#"}],)"
        R"("messages":[]})"},
    {"CategoryAndSubcategory",
        {"--subcategory=Email", "Beta Articles", "--category=Marketing and Advertising"},
        R"({"submitPage":"http://beta.example/marketing/email/submit","onSubmit":"Article received",)"
        R"("items":[{"name":"section","type":"combobox","index":2,)"
        R"("value":"marketing/email \u0026 #subcat#"}],"messages":[]})"},
    {"SubcategoryMissingFallsToDefault",
        {"Beta Articles", "--category", "Marketing and Advertising"},
        R"({"submitPage":"http://beta.example/general/submit","onSubmit":"Article received",)"
        R"("items":[{"name":"section","type":"combobox","index":2,"value":"general \u0026 #subcat#"}],)"
        R"("messages":[]})"},
    {"ApostropheAndQuotes", {"Bob's \"Best\" Articles"},
        R"({"submitPage":"http://bob.example/?a=1\u0026b='2'","onSubmit":"He said \"thanks\"",)"
        R"("items":[{"name":"body","type":"edit","index":0,)"
        R"("value":"\u003cp\u003e#desc#\u003c/p\u003e\n\\end"}],"messages":[]})"},
    {"MissingDirectory", {"Nobody"},
        R"({"submitPage":"","onSubmit":"","items":[],"messages":[)"
        R"({"text":"Error while GetDirectorySubmitPage","caption":"Error","icon":"error"},)"
        R"({"text":"Error while retrieving directory names","caption":"Error","icon":"error"}]})"},
    {"NameAfterDoubleDash", {"--", "--category"},
        R"({"submitPage":"","onSubmit":"","items":[],"messages":[)"
        R"({"text":"Error while GetDirectorySubmitPage","caption":"Error","icon":"error"},)"
        R"({"text":"Error while retrieving directory names","caption":"Error","icon":"error"}]})"},
    {"MisspelledType", {"Typo Articles"},
        R"({"submitPage":"http://typo.example/","onSubmit":"Done","items":[)"
        R"({"name":"first","type":"combobox","index":0,"value":"a"},)"
        R"({"name":"second","type":"combobox","index":3,"value":"b"}],"messages":[)"
        R"({"text":"unsuported control type","caption":"Typo Articles","icon":"error"}]})"},
    // Variables are resolved for the address and again for the items.
    {"UndefinedVariables", {"No Default"},
        R"({"submitPage":"http://nodefault.example/SECTION/","onSubmit":"Done","items":[)"
        R"({"name":"where","type":"edit","index":0,"value":"SECTION OTHER"}],"messages":[)"
        R"({"text":"error on variable","caption":"SECTION","icon":"none"},)"
        R"({"text":"error on variable","caption":"OTHER","icon":"none"},)"
        R"({"text":"error on variable","caption":"SECTION","icon":"none"},)"
        R"({"text":"error on variable","caption":"OTHER","icon":"none"}]})"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DbToolShowTest, testing::ValuesIn(showCases),
    [](const testing::TestParamInfo<ShowCase>& info) { return info.param.label; });

TEST(DbToolCheckTest, ReportsEveryFaultNamingItsDirectory)
{
    const ToolRun run = RunTool({"check", Fixture("dbtool-broken.xml")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "");

    const std::string types = R"( (use "edit", "combobox" or "checkbox"))";
    const std::string noDefault = R"( has no cond without "category" and "subcategory" that gives)"
                                  R"( a value, so some profiles get "error on variable")";
    const std::vector<std::string> expected = {
        R"(Directory #2 (no name): no "name" attribute, so it is never listed)",
        R"(Directory "No Submit Url": no "submiturl" attribute)",
        R"(Directory "No On Submit": no "onsubmit" attribute)",
        R"(Directory "Good" (#5): the name is already used by directory #1)",
        R"(Directory "Bracket [new]": the name contains " [", so the main window cannot select it)",
        R"(Directory "Bad Types": item 2 has the unsupported type "Edit")" + types,
        R"(Directory "Bad Types": item 3 has the unsupported type "text")" + types,
        R"(Directory "Bad Types": item 4 has the unsupported type " checkbox")" + types,
        R"(Directory "Bad Types": item 5 has the unsupported type "")" + types,
        R"(Directory "Missing Item Attributes": item 1 has no "name" attribute)",
        R"(Directory "Missing Item Attributes": item 2 has no "index" attribute)",
        R"(Directory "Missing Item Attributes": item 3 has no "type" attribute)",
        R"(Directory "Missing Item Attributes": item 4 has no "value" attribute)",
        R"(Directory "Missing Item Attributes": item 5 has no "name" attribute)",
        R"(Directory "Missing Item Attributes": item 5 has no "index" attribute)",
        R"(Directory "Missing Item Attributes": item 5 has no "type" attribute)",
        R"(Directory "Missing Item Attributes": item 5 has no "value" attribute)",
        R"(Directory "Odd Indexes": item 1 has the index "2nd", which reads as 2)",
        R"(Directory "Odd Indexes": item 2 has the index "first", which reads as 0)",
        R"(Directory "Odd Indexes": item 3 has the index "-1", which reads as -1)",
        R"(Directory "Odd Indexes": item 4 has the index "99999999999", which reads as 2147483647)",
        R"(Directory "Variable Names": variable 1 has an empty name)",
        R"(Directory "Variable Names": variable 2 has no "name" attribute and is ignored)",
        R"(Directory "Variable Defaults": variable "ONLY_CATEGORY")" + noDefault,
        R"(Directory "Variable Defaults": variable "NO_CONDS")" + noDefault,
        R"(Directory "Variable Defaults": variable "EMPTY_DEFAULT" cond 1 gives every remaining)"
        R"( profile an empty value, so they get "error on variable")",
        R"(Directory "Variable Defaults": variable "SUBCATEGORY_ONLY")" + noDefault,
        R"(Directory "Variable Defaults": variable "EMPTY_FOR_ONE" cond 1 has an empty value, so)"
        R"( the profiles it applies to get "error on variable")",
        R"(Directory "Variable Defaults": variable "VALUELESS" cond 1 has no "value" attribute)"
        R"( and is never chosen)",
        R"(Directory "Variable Defaults": variable "NESTED")" + noDefault,
        "Directory \"" + std::string(224, 'L') + "\": the name is longer than 223 characters",
        R"(Directory #13 (empty name): the name is empty)",
        R"(Directory #13 (empty name): no "submiturl" attribute)",
        R"(Directory #13 (empty name): item 1 has the unsupported type "Checkbox")" + types,
    };
    std::string expectedOut;
    for (const std::string& line : expected)
        expectedOut += line + "\n";
    EXPECT_EQ(run.out, expectedOut);
}

TEST(DbToolCheckTest, CleanFileSaysOk)
{
    // Holds a 223-character name, apostrophes, quotes, a shadowed empty cond
    // and a broken item nested too deep to be read.
    const ToolRun run = RunTool({"check", Fixture("dbtool-clean.xml")});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "ok\n");
    EXPECT_EQ(run.err, "");
}

TEST(DbToolCheckTest, WrongDocumentElementIsOneFinding)
{
    const ToolRun run = RunTool({"check", Fixture("dbtool-wrong-root.xml")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "The document element is <root>, not <r>: no directory is read\n");
}

// Every command reports a file it cannot load the same way.
TEST(DbToolLoadTest, UnloadableFilesExitTwoWithTheReason)
{
    // Paths no user can open as a file, root included: a link that leads
    // to itself, and a name below a file.
    const TemporaryDirectory folder;
    const std::string loop = folder.FilePath("loop.xml");
    std::filesystem::create_symlink("loop.xml", loop);
    const std::string belowFile = folder.Write("dirdata.xml", "<r/>") + "/dirdata.xml";

    const struct
    {
        std::string path;
        std::string reason;
    } files[] = {
        {Fixture("dbtool-malformed.xml"), "Start-end tags mismatch at offset 78"},
        {Fixture("dbtool-not-xml.xml"), "No document element found at offset 16"},
        {Fixture("dbtool-unknown-encoding.xml"),
            "Unsupported character encoding \"X-NO-SUCH-CHARSET\""},
        {Fixture("dbtool-does-not-exist.xml"), "File could not be opened"},
        {loop, "File could not be opened"},
        {belowFile, "File could not be opened"},
        {QUILLMARK_TEST_DATA_DIR, "is a folder, not a file"},
    };
    for (const auto& file : files) {
        const std::vector<std::vector<std::string>> commands = {
            {"list", file.path}, {"check", file.path}, {"show", file.path, "Alpha Articles"}};
        for (const std::vector<std::string>& args : commands) {
            SCOPED_TRACE(args[0] + " " + file.path);
            const ToolRun run = RunTool(args);
            EXPECT_EQ(run.status, 2);
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(run.err, "quillmark-db: " + file.path + ": " + file.reason + "\n");
        }
    }
}

TEST(DbToolUsageTest, HelpAndVersionGoToStdout)
{
    const struct
    {
        std::vector<std::string> args;
        std::string starts;
    } rows[] = {
        {{"--help"}, "Usage: quillmark-db"},
        {{"-h"}, "Usage: quillmark-db"},
        {{"show", "--help"}, "Usage: quillmark-db"},
        {{"--version"}, "quillmark-db " QUILLMARK_VERSION "\n"},
        {{"check", "--version"}, "quillmark-db " QUILLMARK_VERSION "\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const ToolRun run = RunTool(row.args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind(row.starts, 0), 0u) << run.out;
        EXPECT_EQ(run.err, "");
    }
    EXPECT_NE(RunTool({"--help"}).out.find("--version"), std::string::npos);
    // After "--" it is a file name like any other.
    EXPECT_EQ(RunTool({"list", "--", "--version"}).status, 2);
}

TEST(DbToolUsageTest, NoArgumentsPrintsUsageToStderr)
{
    const ToolRun run = RunTool({});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("Usage: quillmark-db", 0), 0u) << run.err;
}

TEST(DbToolUsageTest, BadCommandLinesExitTwoWithOneLine)
{
    const std::string file = Fixture("dbtool-show.xml");
    const struct
    {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"frobnicate", file}, "unknown command 'frobnicate'"},
        {{"--verbose"}, "unknown option '--verbose'"},
        {{"list"}, "missing arguments: usage is 'quillmark-db list FILE'"},
        {{"check"}, "missing arguments"},
        {{"list", file, "extra"}, "too many arguments"},
        {{"show", file}, "missing arguments: usage is 'quillmark-db show FILE NAME'"},
        {{"show", file, "A", "B"}, "too many arguments"},
        {{"show", file, "A", "--category"}, "option '--category' needs a value"},
        {{"show", file, "A", "--subcategory"}, "option '--subcategory' needs a value"},
        {{"show", file, "A", "--colour", "red"}, "unknown option '--colour' for 'show'"},
        {{"show", file, "A", "-c", "x"}, "unknown option '-c'"},
        {{"list", file, "--category", "x"}, "unknown option '--category' for 'list'"},
        {{"show", file, "A", "--category=a", "--category", "b"}, "given twice"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        ExpectOneDiagnosticLine(run.err);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

TEST(DbToolOutputTest, FailedWriteIsNotSuccess)
{
    const std::vector<std::vector<std::string>> commands = {
        {"list", Fixture("dbtool-list.xml")},
        {"show", Fixture("dbtool-show.xml"), "Alpha Articles"},
        {"check", Fixture("dbtool-clean.xml")},
        {"--help"},
        {"--version"},
    };
    for (const std::vector<std::string>& args : commands) {
        SCOPED_TRACE(args[0]);
        std::ostringstream out;
        out.setstate(std::ios::badbit);
        std::ostringstream err;
        EXPECT_EQ(RunDbTool(args, out, err), 2);
        EXPECT_EQ(err.str(), "quillmark-db: cannot write the output\n");
    }
}

} // namespace
