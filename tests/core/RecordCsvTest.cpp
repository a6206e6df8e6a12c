#include "core/record/RecordCsv.h"

#include "core/record/SubmissionRecord.h"
#include "support/FixedWallClock.h"
#include "support/PythonCsv.h"
#include "support/TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace {

// Cells a spreadsheet or a CSV reader could take for more than text, and
// how they read back: formulas behind a single quote.
const struct
{
    std::string text;
    std::string shown;
} hostile[] = {
    {"plain", "plain"},
    {"", ""},
    {"comma, inside", "comma, inside"},
    {"\"quoted\" and \"\"doubled\"\"", "\"quoted\" and \"\"doubled\"\""},
    {"line\r\nbreaks\nand\rreturns", "line\r\nbreaks\nand\rreturns"},
    {"<script>alert('x')</script>", "<script>alert('x')</script>"},
    {"=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0"},
    {"+1+1", "'+1+1"},
    {"-2", "'-2"},
    {"@SUM(A1)", "'@SUM(A1)"},
    {" =not a formula", " =not a formula"},
    {"Gr\xc3\xbc\xc3\x9f\x65 \xe2\x80\x94 \xe6\x97\xa5\xe6\x9c\xac",
        "Gr\xc3\xbc\xc3\x9f\x65 \xe2\x80\x94 \xe6\x97\xa5\xe6\x9c\xac"},
};

TEST(RecordCsvTest, HostileCellsReadBackAsTextWithCrLfRows)
{
    std::vector<CsvRow> rows = {{"Header one", "Header, two"}};
    for (const auto& cell : hostile)
        rows.push_back({cell.text, "after " + cell.text});
    const std::string csv = CsvText(rows);

    // Every row ends in CR LF; line breaks inside cells stay inside quotes.
    ASSERT_GE(csv.size(), 2u);
    EXPECT_EQ(csv.substr(csv.size() - 2), "\r\n");
    EXPECT_EQ(csv.substr(0, 26), "Header one,\"Header, two\"\r\n");

    TemporaryDirectory folder;
    const std::vector<CsvRow> read = ReadCsvWithPython(folder.Write("export.csv", csv));
    ASSERT_EQ(read.size(), rows.size());
    EXPECT_EQ(read[0], rows[0]);
    for (std::size_t row = 1; row < rows.size(); ++row)
        EXPECT_EQ(read[row], (CsvRow {hostile[row - 1].shown, rows[row][1]})) << rows[row][0];
}

TEST(RecordCsvTest, StoredHostileEntriesExportAsText)
{
    TemporaryDirectory folder;
    FixedWallClock clock;
    clock.now = RecordTimeFromUnixSeconds(1765204903); // 2025-12-08 14:41:43 UTC
    SubmissionRecord record(clock);
    ASSERT_TRUE(record.Open(folder.FilePath(SubmissionRecord::fileName), "Quillmark").result);
    // Numbered directories keep the entries in the table's order.
    const std::size_t count = std::size(hostile);
    for (std::size_t at = 0; at < count; ++at) {
        const std::string directory = "dir " + std::to_string(10 + at) + " " + hostile[at].text;
        ASSERT_TRUE(record.NoteSubmit("Garden", directory, hostile[at].text));
        ASSERT_TRUE(record.SetNote("Garden", directory, hostile[at].text));
    }
    std::vector<RecordEntry> entries;
    ASSERT_TRUE(record.ReadEntries("Garden", entries));
    std::vector<CsvRow> rows = {RecordCsvHeader()};
    for (const RecordEntry& entry : entries)
        rows.push_back(RecordCsvRow(entry, ShownStateOf(true, &entry)));

    const std::vector<CsvRow> read = ReadCsvWithPython(folder.Write("records.csv", CsvText(rows)));
    ASSERT_EQ(read.size(), rows.size());
    EXPECT_EQ(read[0], RecordCsvHeader());
    ASSERT_EQ(entries.size(), count);
    for (std::size_t row = 1; row < read.size(); ++row) {
        ASSERT_EQ(read[row].size(), RecordCsvHeader().size());
        EXPECT_EQ(read[row][0], "Garden");
        EXPECT_EQ(read[row][1], entries[row - 1].directory);
        EXPECT_EQ(read[row][2], "sent \u2014 date unknown");
        EXPECT_EQ(read[row][5], "2025-12-08 14:41:43 UTC");
        EXPECT_EQ(read[row][6], hostile[row - 1].shown);
        EXPECT_EQ(read[row][13], hostile[row - 1].shown);
        EXPECT_EQ(read[row][11], "");
    }
}

} // namespace
