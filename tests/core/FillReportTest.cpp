#include "core/fill/FillReport.h"

#include <gtest/gtest.h>

namespace {

TEST(FillReportTest, SaysHowManyWereFilledAndWhichWereNotFound)
{
    const struct
    {
        FillReport report;
        const char* text;
    } rows[] = {
        {{10, 10, {}}, "Filled 10 of 10 fields"},
        {{9, 10, {"nosuch"}}, "Filled 9 of 10 fields, not found: nosuch"},
        {{0, 0, {}}, "Filled 0 of 0 fields"},
        {{1, 4, {"a", "b b", ""}}, "Filled 1 of 4 fields, not found: a, b b, "},
        // An element of a kind its item does not act on is found, not
        // written: it counts in neither.
        {{2, 3, {}}, "Filled 2 of 3 fields"},
        {{0, 1, {"t\xC3\xADtulo"}}, "Filled 0 of 1 fields, not found: t\xC3\xADtulo"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FillReportText(row.report), row.text);
}

} // namespace
