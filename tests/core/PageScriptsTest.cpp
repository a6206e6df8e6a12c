#include "core/fill/PageScripts.h"

#include "core/common/Json.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Text from a profile or a database is data: nothing in it can end the
// script, a string of it or an enclosing HTML script element, and it reaches
// the page as the JSON text of the call's argument, as name and as text,
// beside the number of the step's control type.
TEST(PageScriptsTest, FillScriptCarriesHostileTextOnlyAsEncodedData)
{
    const std::string empty = FillScript({});
    ASSERT_EQ(empty.substr(empty.size() - 5), "([]);");
    const std::string code = empty.substr(0, empty.size() - 5);

    const std::string rows[] = {
        "\"]);alert(1);//",
        "'); alert(1); ('",
        "</script><script>alert(1)</script>",
        "</SCRIPT ><!-- <script>",
        "line\xE2\x80\xA8separator\xE2\x80\xA9paragraph",
        std::string("nul\0byte", 8),
        "back\\slash\\\" \\u0041",
        "one\r\ntwo\n\rthree",
        "`${alert(1)}` \x01\x1f\x7f",
        "bad \xFF byte",
    };
    for (const std::string& hostile : rows) {
        SCOPED_TRACE(JsonQuote(hostile));
        const std::string script = FillScript({{hostile, 2, hostile, ControlType::CheckBox},
            {"plain", 0, "", ControlType::Edit}, {"pick", -1, hostile, ControlType::ComboBox}});
        ASSERT_EQ(script.substr(0, code.size()), code) << "the code never changes with the data";
        const std::string data = script.substr(code.size());
        EXPECT_EQ(data,
            "([[" + JsonQuote(hostile) + ",2,2," + JsonQuote(hostile) +
                "],[\"plain\",0,0,\"\"],[\"pick\",-1,1," + JsonQuote(hostile) + "]]);");
        const std::string forbidden[] = {
            "</", "<!--", "\n", "\r", "\xE2\x80\xA8", "\xE2\x80\xA9", std::string(1, '\0')};
        for (const std::string& part : forbidden)
            EXPECT_EQ(data.find(part), std::string::npos) << JsonQuote(part);
    }
}

} // namespace
