// A published article's page as the link check reads it: any bytes, in any
// encoding the page claims, made UTF-8 and parsed. Whatever comes, the text
// handed to the parser is well-formed UTF-8, a page is read or refused for
// its depth, and a page refused says nothing of title or link.

#include "core/common/Text.h"
#include "core/record/PageInspection.h"
#include "core/record/PageText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "PublishedPage: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const char* const charsets[] = {"", "utf-8", "ISO-8859-1", "windows-1252", "shift_jis"};
    const std::string charset = charsets[input.ConsumeIntegralInRange<int>(0, 4)];
    const std::string title = input.ConsumeRandomLengthString(64);
    const std::string bytes = input.ConsumeRemainingBytesAsString();

    const std::string html = SanitisedUtf8(bytes, charset);
    Require(IsValidUtf8(html), "the sanitised page is not UTF-8");
    if (IsValidUtf8(bytes))
        Require(html == bytes, "a UTF-8 page was changed");

    const PageInspection page = InspectPage(
        html, "http://127.0.0.1:8731/harbor/articles/a.html", title, "http://garden.example/");
    if (!page.read)
        Require(!page.titleFound && !page.link, "a page not read found something");
    return 0;
}
