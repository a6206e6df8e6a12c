// The body check of the database download, fed arbitrary chunks under a
// small limit, against the whole body seen at once: a web page is a body
// whose bytes so far contain "<HTML>" or "<html>", wherever the chunks
// split them; a body past the limit is too large.

#include "core/update/DatabaseDownload.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "BodyCheck: %s\n", what);
        std::abort();
    }
}

bool ContainsTag(const std::string& body)
{
    return body.find("<HTML>") != std::string::npos || body.find("<html>") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::size_t limit = input.ConsumeIntegralInRange<std::size_t>(0, 512);
    BodyCheck check(limit);

    std::string body; // the bytes taken so far
    std::size_t total = 0; // the bytes offered, including a refused chunk
    bool refused = false;
    while (input.remaining_bytes() > 0) {
        const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 64);
        const std::string chunk = input.ConsumeBytesAsString(length);
        const bool taken = check.Feed(chunk.data(), chunk.size());

        if (refused) {
            Require(!taken, "a chunk after a refusal was taken");
            continue;
        }
        total += chunk.size();
        if (total > limit) {
            Require(!taken, "a chunk past the limit was taken");
            Require(check.IsTooLarge(), "a body past the limit is not too large");
            Require(!check.IsWebPage(), "a body past the limit counts as a web page");
            refused = true;
            continue;
        }
        body += chunk;
        const bool webPage = ContainsTag(body);
        Require(check.IsWebPage() == webPage, "the web page verdict differs from the whole body");
        Require(!check.IsTooLarge(), "a body within the limit is too large");
        Require(taken == !webPage, "the chunk's answer differs from the verdict");
        refused = webPage;
    }
    Require(check.IsWebPage() == ContainsTag(body), "the final web page verdict differs");
    Require(check.IsTooLarge() == (total > limit), "the final size verdict differs");
    return 0;
}
